// Loads chessbench's PGN of the game into chess.js, a standard PGN reader, with strict SAN, and
// checks that it replays to chessbench's own final position, that every move is written as the
// reader writes it, and that the tags and result are what they should be; pgn-extract, where it
// is installed, must read each game too.
//   usage: node replay_test.js CHESSBENCH
'use strict';
const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const { Chess } = require('chess.js');

const chessbench = process.argv[2];
let failures = 0;

function check(ok, what) {
  if (!ok) {
    failures++;
    console.error('FAIL: ' + what);
  }
}

// Replays chessbench's PGN of pgnArgs; when gameArgs is given, compares the final position, as
// FEN, every field, with that of `chessbench game` over the same plies. Returns the replayed game.
function replay(pgnArgs, gameArgs, expectResult) {
  const pgn = execFileSync(chessbench, ['pgn', ...pgnArgs], { encoding: 'utf8' });
  const label = 'pgn ' + pgnArgs.join(' ');
  for (const line of pgn.split('\n'))
    check(line.length <= 79, label + ': line longer than 79 characters: ' + line);
  const chess = new Chess();
  try {
    chess.loadPgn(pgn, { strict: true });
  } catch (e) {
    check(false, label + ': chess.js refused the PGN: ' + e.message + '\n' + pgn);
    return;
  }
  const headers = chess.getHeaders();
  for (const tag of ['Event', 'Site', 'Date', 'Round', 'White', 'Black', 'Result'])
    check(tag in headers, label + ': no ' + tag + ' tag');
  check(headers.Result === expectResult, label + ': result ' + headers.Result);
  check(pgn.trimEnd().endsWith(' ' + expectResult), label + ': movetext does not end in result');

  // The moves as chess.js writes them must be ours, token for token, but for a mate that our
  // rules overrule with the fifty-move draw: we write it as the check it also is.
  const overruled = expectResult === '1/2-1/2' && chess.isCheckmate();
  const theirs = chess.history();
  if (overruled) theirs.push(theirs.pop().replace(/#$/, '+'));
  const movetext = pgn.slice(pgn.indexOf('\n\n') + 2).replace(/\{[^}]*\}/g, ' ');
  const ours = movetext.split(/\s+/).filter((t) => t && !/^\d+\.+$/.test(t) && t !== expectResult);
  check(JSON.stringify(ours) === JSON.stringify(theirs),
        label + ': SAN differs:\n ours    ' + ours.join(' ') + '\n chess.js ' + theirs.join(' '));

  // pgn-extract replays the game too; it reads it, and may only warn that a draw's result
  // disagrees with the mate it sees where our rules overrule one.
  if (extract) {
    const run = spawnSync(extract, ['-o', '/dev/null'], { input: pgn, encoding: 'utf8' });
    const warning = /Warning: Result of 1\/2-1\/2 is inconsistent with checkmate[^]*Line number: \d+\n/;
    const said = (run.stdout + run.stderr).replace(overruled ? warning : /^$/, '');
    check(run.status === 0 && said.includes('\n1 game matched out of 1.\n') &&
          !said.includes('Line number'), label + ': pgn-extract says:\n' + run.stdout + run.stderr);
  }

  if (!gameArgs) return chess;
  const game = execFileSync(chessbench, ['game', ...gameArgs], { encoding: 'utf8' });
  const fen = game.split('\n').find((l) => l.startsWith('fen ')).slice(4);
  check(chess.fen() === fen,
        label + ': final positions differ: chess.js ' + chess.fen() + ', chessbench ' + fen);
  return chess;
}

const extract = ['/usr/games/pgn-extract', '/usr/bin/pgn-extract'].find((p) => fs.existsSync(p));
if (!extract) console.log('pgn-extract is not installed (on Debian: apt-get install pgn-extract)');

// The whole game ends in a threefold repetition at ply 106.
const whole = replay([], [], '1/2-1/2');
check(whole && whole.history().length === 106, 'the game has ' + (whole && whole.history().length) + ' plies');
check(whole && whole.isThreefoldRepetition(), 'chess.js sees no threefold repetition at the end');
replay(['1'], ['1'], '*');
replay(['40'], ['40'], '*');
// From set-up positions: a mate at once, and black to move at move 17 with castling rights.
const mateFen = '6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1';
const mate = replay([mateFen], [mateFen], '1-0');
check(mate && mate.isCheckmate(), 'the mate is not a checkmate to chess.js');
replay(['6', 'r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 3 17'], null, '*');
// Qf8 mates as the halfmove clock reaches 100: our rules judge the draw first.
const overruledFen = '7k/8/6K1/8/8/8/8/5Q2 w - - 99 80';
replay([overruledFen], [overruledFen], '1/2-1/2');
console.log(failures === 0 ? 'PGN replay: all checks passed' : 'PGN replay: ' + failures + ' failures');
process.exit(failures === 0 ? 0 : 1);
