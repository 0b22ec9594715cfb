// Compares `chessbench perft --standard` with chess.js, an independent mover, move by move at
// depth 2, on random positions that keep castling rights: positions reached by random games, and
// positions set up with a king near the squares the enemy's rights would claim under our own rules
// (standard chess has no such claims). Every position must give the same moves and counts.
//   usage: node standard_perft_test.js CHESSBENCH
'use strict';
const { execFileSync } = require('child_process');
const { Chess, validateFen } = require('chess.js');

const chessbench = process.argv[2];
const DEPTH = 2;
let failures = 0;
let compared = 0;

// A fixed sequence of pseudo-random numbers in [0, 1), so that every run checks the same positions.
let state = 2026;
function random() {
  state = (state + 0x6d2b79f5) | 0;
  let t = Math.imul(state ^ (state >>> 15), 1 | state);
  t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
  return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
}
const pick = (items) => items[Math.floor(random() * items.length)];

// Returns chess.js's divide of fen: "<move>: <count>" per legal move, sorted.
function chessJsDivide(fen) {
  const chess = new Chess(fen);
  const lines = chess.moves({ verbose: true }).map((move) => {
    chess.move(move);
    const count = chess.perft(DEPTH - 1);
    chess.undo();
    return move.lan + ': ' + count;
  });
  return lines.sort().join('\n');
}

// Returns chessbench's divide of fen, sorted, or null when it refuses the position.
function chessbenchDivide(fen) {
  let out;
  try {
    out = execFileSync(chessbench, ['perft', '--standard', String(DEPTH), fen], {
      encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] });
  } catch (e) {
    return null;
  }
  return out.split('\n').filter((line) => /^[a-h][1-8][a-h][1-8][nbrq]?: /.test(line)).sort().join('\n');
}

function compare(fen) {
  if (!validateFen(fen).ok) return;
  const ours = chessbenchDivide(fen);
  if (ours === null) {
    // Our FEN reader refuses only positions whose side not to move is in check.
    const otherSide = fen.replace(/ ([wb]) \S+ \S+ /, (all, side) => all.replace(side, side === 'w' ? 'b' : 'w')).replace(/ [a-h][36] /, ' - ');
    if (!new Chess(otherSide, { skipValidation: true }).inCheck()) {
      failures++;
      console.error('FAIL: chessbench refuses ' + fen);
    }
    return;
  }
  compared++;
  const theirs = chessJsDivide(fen);
  if (ours !== theirs) {
    failures++;
    console.error('FAIL: ' + fen + '\n chessbench:\n' + ours + '\n chess.js:\n' + theirs);
  }
}

// Positions of random games that keep at least one castling right.
const STARTS = [
  'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1',
  'r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1',
  'r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1',
  'r3k2r/2p2p2/8/8/8/8/2P2P2/R3K2R b KQkq - 0 1',
];
for (let game = 0; game < 40; ++game) {
  const chess = new Chess(pick(STARTS));
  for (let ply = 0; ply < 40 && !chess.isGameOver(); ++ply) {
    chess.move(pick(chess.moves()));
    if (chess.fen().split(' ')[2] !== '-' && random() < 0.25) compare(chess.fen());
  }
}

// Set-up positions: one side keeps its rights (king and rooks at home), the other side's king
// stands on its back rank or the two ranks before it, mostly near c8 (or c1), with a few other
// pieces about. Only the queen-side destination ever differs from standard chess: the king-side
// rook always covers g8 itself, and the queen-side rook covers c8 unless b8 is occupied.
const EMPTY_BOARD = () => Array.from({ length: 8 }, () => Array(8).fill(null));
function setUp(keeperIsBlack) {
  const board = EMPTY_BOARD();
  const home = keeperIsBlack ? 0 : 7;  // row 0 is the eighth rank
  const keep = (letter) => (keeperIsBlack ? letter : letter.toUpperCase());
  const other = (letter) => (keeperIsBlack ? letter.toUpperCase() : letter);
  board[home][4] = keep('k');
  const rights = [];
  if (random() < 0.7) { board[home][7] = keep('r'); rights.push(keep('k')); }
  if (random() < 0.7) { board[home][0] = keep('r'); rights.push(keep('q')); }
  if (rights.length === 0) { board[home][0] = keep('r'); rights.push(keep('q')); }
  if (random() < 0.6) board[home][1] = random() < 0.5 ? pick('nbq') : pick('NBQ');
  const free = () => {
    for (;;) {
      const row = Math.floor(random() * 8), col = Math.floor(random() * 8);
      if (!board[row][col]) return [row, col];
    }
  };
  for (;;) {
    const row = keeperIsBlack ? Math.floor(random() * 3) : 7 - Math.floor(random() * 3);
    const col = Math.floor(random() * (random() < 0.7 ? 4 : 8));
    if (!board[row][col]) { board[row][col] = other('k'); break; }
  }
  for (let n = Math.floor(random() * 4); n > 0; --n) {
    const [row, col] = free();
    const letter = pick('pnbrq');
    if (letter === 'p' && (row === 0 || row === 7)) continue;
    board[row][col] = random() < 0.5 ? letter : letter.toUpperCase();
  }
  const placement = board.map((row) => row.map((p) => p || '1').join('').replace(/1+/g, (run) => String(run.length))).join('/');
  const order = 'KQkq';
  const field = rights.sort((a, b) => order.indexOf(a) - order.indexOf(b)).join('');
  return placement + ' ' + pick(['w', 'b']) + ' ' + field + ' - 0 1';
}
for (let n = 0; n < 300; ++n) compare(setUp(n % 2 === 0));

if (compared < 250) {
  failures++;
  console.error('FAIL: only ' + compared + ' positions compared');
}
console.log(failures === 0 ? 'standard perft against chess.js: ' + compared + ' positions agree'
                           : 'standard perft against chess.js: ' + failures + ' failures');
process.exit(failures === 0 ? 0 : 1);
