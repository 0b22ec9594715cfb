#!/usr/bin/env bash
# Plays build/bin/chess-uci against Stockfish at its lowest level (or against itself), with
# chess.js refereeing; see tools/match.js for what it checks and reports.
#   tools/match.sh stockfish [GAMES] [match.js options...]   # default 10 games
#   tools/match.sh self [GAMES] [match.js options...]        # default 4 games, random openings
#   tools/match.sh vs CMD [GAMES] [match.js options...]      # against another UCI engine CMD,
#                                                            # default 10 games, random openings
# A time control for both sides: --tc BASE+INC in seconds (e.g. --tc 10+0.1); see match.js.
set -euo pipefail
cd "$(dirname "$0")/.."
engine=build/bin/chess-uci
[ -x "$engine" ] || { echo "match: build first (tools/play.sh or cmake --build build)" >&2; exit 2; }
run() { tools/js/with-chessjs.sh build/js tools/match.js --engine "$engine" "$@"; }
case "${1:-}" in
  stockfish)
    sf=$(command -v stockfish || echo /usr/games/stockfish)
    [ -x "$sf" ] || { echo "match: no stockfish (on Debian: apt-get install stockfish)" >&2; exit 2; }
    shift
    games=${1:-10}
    shift || true
    run --opponent "$sf" --games "$games" --opponent-option "Skill Level=0" \
      --opponent-go "go movetime 50" "$@"
    ;;
  self)
    shift
    games=${1:-4}
    shift || true
    run --games "$games" --random-plies 6 "$@"
    ;;
  vs)
    [ -n "${2:-}" ] || { echo "usage: tools/match.sh vs CMD [GAMES] [match.js options...]" >&2; exit 2; }
    opponent=$2
    shift 2
    games=${1:-10}
    shift || true
    run --opponent "$opponent" --games "$games" --random-plies 6 "$@"
    ;;
  *)
    echo "usage: tools/match.sh stockfish|self|vs CMD [GAMES] [match.js options...]" >&2
    exit 2
    ;;
esac
