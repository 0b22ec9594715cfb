// Plays chess-uci against another UCI engine (or itself) for a number of games, alternating
// colours, with chess.js as the referee: every move is checked for legality and the game's end
// (mate, stalemate, threefold repetition, fifty moves, insufficient material) is its call.
// Reports each game and the totals (against itself, by the colour that won), and any illegal
// move, crash or hang (no bestmove within the per-move timeout). Exits 1 if there was any.
//   usage: node match.js --engine CMD [--opponent CMD] [--games N] [--opponent-go "go ..."]
//                        [--opponent-option "Name=Value"]... [--random-plies K] [--seed S]
//                        [--timeout MS] [--max-plies P] [--pgn FILE] [--tc BASE+INC]
//                        [--time-log FILE]
// With --tc (seconds, e.g. 10+0.1) both engines play on clocks: each is sent its remaining time
// and increment with every go, a move's thinking time is taken from its clock, and a side whose
// clock runs out loses on time. The log gets a line per move of chess-uci's: its clock before
// the move, the increment and the milliseconds it took. Every principal variation chess-uci
// sends in an info line is replayed by chess.js, and an illegal move in one is a fault.
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const { Chess } = require('chess.js');

function parseArgs(argv) {
  const o = { games: 2, opponentGo: null, opponentOptions: [],
              randomPlies: 0, seed: 1, timeout: 10000, maxPlies: 400, pgn: null, tc: null,
              timeLog: null };
  for (let i = 0; i < argv.length; i++) {
    const a = argv[i], v = () => argv[++i];
    if (a === '--engine') o.engine = v();
    else if (a === '--opponent') o.opponent = v();
    else if (a === '--games') o.games = +v();
    else if (a === '--opponent-go') o.opponentGo = v();
    else if (a === '--opponent-option') o.opponentOptions.push(v());
    else if (a === '--random-plies') o.randomPlies = +v();
    else if (a === '--seed') o.seed = +v();
    else if (a === '--timeout') o.timeout = +v();
    else if (a === '--max-plies') o.maxPlies = +v();
    else if (a === '--pgn') o.pgn = v();
    else if (a === '--tc') {
      const [base, inc] = v().split('+').map(Number);
      o.tc = { base: base * 1000, inc: (inc || 0) * 1000 };
    } else if (a === '--time-log') o.timeLog = v();
    else throw new Error('unknown argument ' + a);
  }
  if (!o.engine) throw new Error('--engine is required');
  o.opponent = o.opponent || o.engine;
  // Without a clock chess-uci searches its Depth option (a plain go); another engine is given a
  // minute on each side's clock.
  if (!o.opponentGo) o.opponentGo = o.opponent === o.engine ? 'go' : 'go wtime 60000 btime 60000';
  return o;
}

// One engine process, spoken to line by line.
class Engine {
  constructor(name, command) {
    this.name = name;
    this.lines = [];
    this.waiter = null;
    this.exited = null;
    this.pvs = [];  // the principal variations of the info lines since the last go
    this.proc = spawn('sh', ['-c', 'exec ' + command], { stdio: ['pipe', 'pipe', 'inherit'] });
    let partial = '';
    this.proc.stdout.on('data', (chunk) => {
      partial += chunk.toString();
      let nl;
      while ((nl = partial.indexOf('\n')) >= 0) {
        this.lines.push(partial.slice(0, nl).replace(/\r$/, ''));
        partial = partial.slice(nl + 1);
      }
      this.wake();
    });
    this.proc.on('exit', (code, signal) => {
      this.exited = signal ? 'killed by ' + signal : 'exited with status ' + code;
      this.wake();
    });
    this.proc.stdin.on('error', () => {});
  }
  wake() {
    if (this.waiter) this.waiter();
  }
  send(line) {
    if (!this.exited) this.proc.stdin.write(line + '\n');
  }
  // Resolves with the first line starting with prefix; rejects on timeout or the engine's exit.
  async expect(prefix, timeoutMs) {
    const deadline = Date.now() + timeoutMs;
    for (;;) {
      while (this.lines.length) {
        const line = this.lines.shift();
        const pv = line.startsWith('info ') ? line.indexOf(' pv ') : -1;
        if (pv >= 0) this.pvs.push(line.slice(pv + 4).trim().split(/\s+/));
        if (line.startsWith(prefix)) return line;
      }
      if (this.exited) throw new Error(this.name + ' crashed: ' + this.exited);
      const left = deadline - Date.now();
      if (left <= 0) throw new Error(this.name + ' hung: no "' + prefix + '" within ' + timeoutMs + ' ms');
      await new Promise((resolve) => {
        const timer = setTimeout(resolve, left);
        this.waiter = () => { clearTimeout(timer); resolve(); };
      });
      this.waiter = null;
    }
  }
  async start(options, timeoutMs) {
    this.send('uci');
    const id = await this.expect('id name', timeoutMs);
    this.id = id.slice(8);
    await this.expect('uciok', timeoutMs);
    for (const option of options) {
      const [name, value] = option.split('=');
      this.send('setoption name ' + name + ' value ' + value);
    }
    this.send('isready');
    await this.expect('readyok', timeoutMs);
  }
  quit() {
    this.send('quit');
    setTimeout(() => { if (!this.exited) this.proc.kill('SIGKILL'); }, 2000).unref();
  }
}

// PGN's export format keeps lines shorter than 80 characters.
const PGN_LINE_LIMIT = 79;

// Returns a game's PGN with its movetext filled into lines of at most PGN_LINE_LIMIT characters,
// a move number kept with its move; a comment's words may go on to the next line. (chess.js's own
// maxWidth lets a line run a character over and can glue a move number to the move before a
// comment.)
function exportFormat(pgn) {
  const lines = pgn.split('\n');
  const words = lines.filter((l) => !l.startsWith('[')).join(' ').split(/\s+/).filter(Boolean);
  const movetext = [''];
  for (let i = 0; i < words.length; i++) {
    const word = /^\d+\.+$/.test(words[i]) && i + 1 < words.length ? words[i] + ' ' + words[++i] : words[i];
    const line = movetext[movetext.length - 1];
    if (line && line.length + 1 + word.length > PGN_LINE_LIMIT) movetext.push(word);
    else movetext[movetext.length - 1] = line ? line + ' ' + word : word;
  }
  return lines.filter((l) => l.startsWith('[')).join('\n') + '\n\n' + movetext.join('\n');
}

// A small seeded generator (mulberry32), so that random openings can be replayed.
function random(seed) {
  return () => {
    seed = (seed + 0x6d2b79f5) | 0;
    let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// Makes a move in coordinate notation on a chess.js board; returns it, or null when illegal.
function playUci(chess, move) {
  try {
    return chess.move({ from: move.slice(0, 2), to: move.slice(2, 4), promotion: move[4] });
  } catch (e) {
    return null;
  }
}

// Plays one game; returns { result: '1-0' | '0-1' | '1/2-1/2', reason, fault, pgn }.
async function playGame(white, black, o, rng, round) {
  const chess = new Chess();
  const uciMoves = [];
  for (let i = 0; i < o.randomPlies && !chess.isGameOver(); i++) {
    const moves = chess.moves({ verbose: true });
    const m = moves[Math.floor(rng() * moves.length)];
    chess.move(m);
    uciMoves.push(m.from + m.to + (m.promotion || ''));
  }
  for (const e of [white, black]) {
    e.send('ucinewgame');
    e.send('isready');
    await e.expect('readyok', o.timeout);
  }
  let result = null, reason = null, fault = null;
  const clock = o.tc ? { w: o.tc.base, b: o.tc.base } : null;
  const stats = o.stats;
  while (!result) {
    if (chess.isCheckmate()) {
      result = chess.turn() === 'w' ? '0-1' : '1-0';
      reason = 'checkmate';
    } else if (chess.isGameOver()) {
      result = '1/2-1/2';
      reason = chess.isStalemate() ? 'stalemate' : chess.isThreefoldRepetition() ? 'threefold repetition'
             : chess.isInsufficientMaterial() ? 'insufficient material' : 'fifty-move rule';
    } else if (uciMoves.length >= o.maxPlies) {
      result = '1/2-1/2';
      reason = 'adjudicated: ' + o.maxPlies + ' plies';
    }
    if (result) break;
    const mover = chess.turn() === 'w' ? white : black;
    const loses = chess.turn() === 'w' ? '0-1' : '1-0';
    const side = chess.turn();
    mover.send('position startpos' + (uciMoves.length ? ' moves ' + uciMoves.join(' ') : ''));
    let go = mover === o.engineSide ? 'go' : o.opponentGo;
    if (o.tc) go = `go wtime ${Math.round(clock.w)} btime ${Math.round(clock.b)} winc ${o.tc.inc} binc ${o.tc.inc}`;
    mover.pvs = [];
    const sent = Date.now();
    mover.send(go);
    let line;
    try {
      line = await mover.expect('bestmove', o.tc ? clock[side] + o.timeout : o.timeout);
    } catch (e) {
      fault = e.message;
      result = loses;
      reason = fault;
      break;
    }
    const took = Date.now() - sent;
    if (mover === o.engineSide) {
      stats.moves++;
      if (o.timeLog) fs.appendFileSync(o.timeLog, `${Math.round(clock[side])} ${o.tc ? o.tc.inc : 0} ${took}\n`);
      for (const pv of mover.pvs) {
        const replay = new Chess(chess.fen());
        stats.pvs++;
        for (const m of pv) {
          if (!playUci(replay, m)) {
            fault = 'chess-uci sent an illegal move ' + m + ' in the pv ' + pv.join(' ') + ' of ' + chess.fen();
            break;
          }
          stats.pvMoves++;
        }
        if (fault) break;
      }
      if (fault) {
        result = loses;
        reason = fault;
        break;
      }
    }
    if (o.tc) {
      clock[side] -= took;
      if (clock[side] < 0) {
        result = loses;
        reason = (mover === o.engineSide ? 'chess-uci' : 'the opponent') + ' lost on time';
        if (mover === o.engineSide) stats.timeLosses++;
        break;
      }
      clock[side] += o.tc.inc;
    }
    const move = line.split(/\s+/)[1] || '';
    if (!playUci(chess, move)) {
      fault = mover.name + ' played an illegal move: ' + move + ' in ' + chess.fen();
      result = loses;
      reason = fault;
      break;
    }
    uciMoves.push(move);
  }
  chess.header('Event', 'match', 'Round', String(round), 'White', white.id, 'Black', black.id,
               'Result', result);
  // The reason is a comment on the last move; chess.js ends the movetext with the Result tag's
  // value itself, so the result is written once.
  chess.setComment(reason);
  return { result, reason, fault, plies: uciMoves.length, pgn: exportFormat(chess.pgn()) };
}

async function main() {
  const o = parseArgs(process.argv.slice(2));
  const ours = new Engine('chess-uci', o.engine);
  const self = o.opponent === o.engine;
  const other = self ? new Engine('chess-uci (2)', o.engine) : new Engine('opponent', o.opponent);
  o.engineSide = ours;
  await ours.start([], o.timeout);
  await other.start(self ? [] : o.opponentOptions, o.timeout);
  const rng = random(o.seed);
  // Against itself a copy's wins say nothing: the tally is by colour.
  const tally = self ? { 'white wins': 0, draw: 0, 'black wins': 0 } : { win: 0, draw: 0, loss: 0 };
  const faults = [], pgns = [];
  o.stats = { moves: 0, pvs: 0, pvMoves: 0, timeLosses: 0 };
  for (let g = 1; g <= o.games; g++) {
    const oursWhite = g % 2 === 1;
    const [white, black] = oursWhite ? [ours, other] : [other, ours];
    const r = await playGame(white, black, o, rng, g);
    const score = r.result === '1/2-1/2' ? 'draw'
                : self ? (r.result === '1-0' ? 'white wins' : 'black wins')
                : (r.result === '1-0') === oursWhite ? 'win' : 'loss';
    tally[score]++;
    if (r.fault) faults.push('game ' + g + ': ' + r.fault);
    pgns.push(r.pgn);
    console.log(`game ${g}: ${white.id} - ${black.id} ${r.result} (${r.reason}, ${r.plies} plies): ` +
                (self ? score : 'chess-uci ' + score));
    if (r.fault) break;  // an engine that crashed or hung cannot go on
  }
  if (o.pgn) fs.writeFileSync(o.pgn, pgns.join('\n\n') + '\n');
  const totals = self ? `self-play: white won ${tally['white wins']}, ${tally.draw} draws, black won ${tally['black wins']}`
               : `chess-uci: ${tally.win} wins, ${tally.draw} draws, ${tally.loss} losses`;
  console.log(`${totals}; ` +
              `${faults.length ? faults.length + ' faults:\n  ' + faults.join('\n  ') : 'no illegal move, crash or hang'}`);
  console.log(`chess-uci: ${o.stats.timeLosses} losses on time; ${o.stats.pvs} principal variations ` +
              `(${o.stats.pvMoves} moves) replayed legal by chess.js over ${o.stats.moves} moves`);
  ours.quit();
  other.quit();
  process.exitCode = faults.length ? 1 : 0;
}

main().catch((e) => {
  console.error('match: ' + e.message);
  process.exit(2);
});
