// Plays a short self-play match with tools/match.js and checks the PGN file it writes: each game
// once, with its result once, at the end of its movetext, as its Result tag says; chess.js reads
// every game strictly, and so does pgn-extract where it is installed.
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

execFileSync(process.execPath, [matchJs, '--engine', engine, '--games', String(GAMES), '--random-plies', '6',
                      '--max-plies', '30', '--pgn', file], { stdio: ['ignore', 'ignore', 'inherit'] });
const text = fs.readFileSync(file, 'utf8');
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
