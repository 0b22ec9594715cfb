// Plays a short self-play match with tools/match.js and checks what it says of each game (which
// colour won) and the PGN file it writes: each game once, with its result once, at the end of its
// movetext, as its Result tag says, in lines shorter than 80 characters; chess.js reads every
// game strictly, and so does pgn-extract where it is installed.
//   usage: node match_pgn_test.js MATCH_JS CHESS_UCI
'use strict';
const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { Chess } = require('chess.js');

const [matchJs, engine] = process.argv.slice(2);
const GAMES = 2;
const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'match-pgn-'));
const file = path.join(dir, 'match.pgn');
let failures = 0;

function check(ok, what) {
  if (!ok) {
    failures++;
    console.error('FAIL: ' + what);
  }
}

const said = execFileSync(process.execPath, [matchJs, '--engine', engine, '--games', String(GAMES),
                          '--random-plies', '6', '--max-plies', '30', '--pgn', file],
                         { encoding: 'utf8', stdio: ['ignore', 'pipe', 'inherit'] });
// Both sides are chess-uci: the winner is named by colour.
const named = { '1-0': 'white wins', '0-1': 'black wins', '1/2-1/2': 'draw' };
const gameLines = said.split('\n').filter((l) => l.startsWith('game '));
check(gameLines.length === GAMES && gameLines.every((l) => l.endsWith(': ' + named[l.split(' ')[5]])) &&
      said.includes('\nself-play: white won '), 'the match says:\n' + said);
const text = fs.readFileSync(file, 'utf8');
for (const line of text.split('\n')) check(line.length < 80, 'a line of ' + line.length + ' characters: ' + line);
const games = text.split(/\n\n(?=\[Event )/);
check(games.length === GAMES, 'the file holds ' + games.length + ' games:\n' + text);
for (const [i, pgn] of games.entries()) {
  const chess = new Chess();
  try {
    chess.loadPgn(pgn, { strict: true });
  } catch (e) {
    check(false, 'game ' + (i + 1) + ': chess.js refused it: ' + e.message + '\n' + pgn);
    continue;
  }
  const result = chess.getHeaders().Result;
  const movetext = pgn.slice(pgn.indexOf('\n\n') + 2).replace(/\{[^}]*\}/g, ' ');
  const results = movetext.split(/\s+/).filter((t) => ['1-0', '0-1', '1/2-1/2', '*'].includes(t));
  check(results.length === 1 && results[0] === result && movetext.trimEnd().endsWith(result),
        'game ' + (i + 1) + ': results ' + results.join(', ') + ' for the tag ' + result + '\n' + pgn);
}

// pgn-extract counts games by their results, so a result written twice makes a game more.
const extract = ['/usr/games/pgn-extract', '/usr/bin/pgn-extract'].find((p) => fs.existsSync(p));
if (extract) {
  // It reports a fault with the file's line number, and its count on standard error.
  const run = spawnSync(extract, ['-o', '/dev/null', file], { encoding: 'utf8' });
  const said = run.stdout + run.stderr;
  check(run.status === 0 && said.includes(`\n${GAMES} games matched out of ${GAMES}.\n`) &&
        !said.includes('Line number'), 'pgn-extract says:\n' + said);
} else {
  console.log('pgn-extract is not installed (on Debian: apt-get install pgn-extract); ' +
              'chess.js alone read the file');
}
fs.rmSync(dir, { recursive: true });
console.log(failures === 0 ? 'match PGN: all checks passed' : 'match PGN: ' + failures + ' failures');
process.exit(failures === 0 ? 0 : 1);
