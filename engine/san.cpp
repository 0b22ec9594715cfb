// Standard algebraic notation.
#include "engine/san.h"

#include <cstring>

#include "engine/attack.h"
#include "engine/makemove.h"
#include "engine/notation.h"
#include "engine/rules.h"

namespace {

constexpr char SAN_LETTERS[] = "  NBRQK";        // SAN piece letters by type; pawns have none
constexpr char COORDINATE_LETTERS[] = "  nbrq";  // promotion letters of coordinate notation
constexpr int NO_COORDINATE = -1;
constexpr int ANY_PROMOTION = -1;  // no promotion letter written: a promotion stays ambiguous

// Returns the type that letter names in letters (SAN_LETTERS or COORDINATE_LETTERS, indexed by
// type), or EMPTY. Pawns are named by no letter.
int TypeOfLetter(const char* letters, char letter) {
  const char* found = letter ? std::strchr(letters + KNIGHT, letter) : nullptr;
  return found ? static_cast<int>(found - letters) : EMPTY;
}

// Returns the type of the piece that a SAN letter names (N, B, R, Q, K), or EMPTY.
int PieceOfLetter(char letter) { return TypeOfLetter(SAN_LETTERS, letter); }

// Returns the promotion type that a letter names in either notation (q, Q, ...), or EMPTY.
int PromotionOfLetter(char letter) { return TypeOfLetter(COORDINATE_LETTERS, letter | 0x20); }

// Return true for the letters of files a-h and the digits of ranks 1-8.
bool IsFileLetter(char c) { return c >= 'a' && c <= 'h'; }
bool IsRankDigit(char c) { return c >= '1' && c <= '8'; }

// What a move's text pins down; NO_COORDINATE and EMPTY leave a part open.
struct MovePattern {
  int piece = PAWN;
  int fromFile = NO_COORDINATE, fromRank = NO_COORDINATE;
  int to = NO_SQUARE;
  int promotion = ANY_PROMOTION;   // the type written, or ANY_PROMOTION when none was
  bool capture = false;            // "x" was written: the move must capture
  int castleFile = NO_COORDINATE;  // for O-O and O-O-O: the file the king lands on
};

// Removes the annotations a reader may meet after a move: check and mate signs, "!" and "?"
// marks, and "e.p.".
std::string StripAnnotations(std::string text) {
  for (;;) {
    // strchr finds the terminating NUL too, which is no annotation.
    if (!text.empty() && text.back() != '\0' && std::strchr("+#!?", text.back())) {
      text.pop_back();
    } else if (text.size() > 4 && text.ends_with("e.p.")) {
      text.resize(text.size() - 4);
    } else {
      return text;
    }
  }
}

// Reads coordinate notation (e2e4, e7e8q) into pattern; returns false when text is not in it.
bool ReadCoordinates(const std::string& text, MovePattern& pattern) {
  if (text.size() < 4 || text.size() > 5 || !IsFileLetter(text[0]) || !IsRankDigit(text[1]) ||
      !IsFileLetter(text[2]) || !IsRankDigit(text[3]))
    return false;
  if (text.size() == 5) {
    pattern.promotion = PromotionOfLetter(text[4]);
    if (pattern.promotion == EMPTY) return false;
  }
  pattern.piece = EMPTY;  // whatever stands there
  pattern.fromFile = text[0] - 'a';
  pattern.fromRank = text[1] - '1';
  pattern.to = SquareAt(text[2] - 'a', text[3] - '1');
  return true;
}

// Reads SAN into pattern; returns false when text is not SAN.
bool ReadSan(std::string text, MovePattern& pattern) {
  if (text == "O-O" || text == "0-0" || text == "O-O-O" || text == "0-0-0") {
    pattern.castleFile = FileOf(text.size() == 3 ? G1 : C1);
    return true;
  }
  // From the end: promotion, destination, capture sign; what is left names the piece and where
  // it comes from.
  if (text.size() >= 3 && PromotionOfLetter(text.back()) != EMPTY &&
      (text[text.size() - 2] == '=' || IsRankDigit(text[text.size() - 2]))) {
    pattern.promotion = PromotionOfLetter(text.back());
    text.pop_back();
    if (text.back() == '=') text.pop_back();
  }
  if (text.size() < 2 || !IsFileLetter(text[text.size() - 2]) || !IsRankDigit(text.back()))
    return false;
  pattern.to = SquareAt(text[text.size() - 2] - 'a', text.back() - '1');
  text.resize(text.size() - 2);
  if (!text.empty() && text.back() == 'x') {
    pattern.capture = true;
    text.pop_back();
  }
  std::size_t i = 0;
  if (i < text.size() && PieceOfLetter(text[i]) != EMPTY) pattern.piece = PieceOfLetter(text[i++]);
  if (i < text.size() && IsFileLetter(text[i])) pattern.fromFile = text[i++] - 'a';
  if (i < text.size() && IsRankDigit(text[i])) pattern.fromRank = text[i++] - '1';
  if (i != text.size()) return false;
  // A pawn that does not capture stays on its file; SAN names a pawn's file only for captures.
  if (pattern.piece == PAWN && pattern.fromFile == NO_COORDINATE)
    pattern.fromFile = FileOf(pattern.to);
  if (pattern.piece != PAWN && pattern.promotion != ANY_PROMOTION) return false;
  return true;
}

// Returns true when the legal move fits the pattern.
bool Fits(Move move, const MovePattern& pattern) {
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  if (pattern.castleFile != NO_COORDINATE)
    return flags & MF_CASTLE && FileOf(to) == pattern.castleFile;
  if (to != pattern.to) return false;
  if (pattern.piece != EMPTY && (TypeOf(pos.board[from]) != pattern.piece || flags & MF_CASTLE))
    return false;
  if (pattern.fromFile != NO_COORDINATE && FileOf(from) != pattern.fromFile) return false;
  if (pattern.fromRank != NO_COORDINATE && RankOf(from) != pattern.fromRank) return false;
  if (pattern.capture && !(flags & MF_CAPTURE)) return false;
  int promotion = flags & MF_PROMOTION ? MovePromotion(move) & TYPE_MASK : EMPTY;
  return pattern.promotion == ANY_PROMOTION || promotion == pattern.promotion;
}

// Returns "+" when the move just made checks the side now to move, "#" when it mates, else "".
const char* CheckSign() {
  if (!InCheck(pos.side)) return "";
  CheckRecord record;
  return HasLegalMove(record) ? "+" : "#";
}

}  // namespace

std::string MoveToSan(Move move) {
  int from = MoveFrom(move), to = MoveTo(move), flags = MoveFlags(move);
  int piece = TypeOf(pos.board[from]);
  std::string san;
  if (flags & MF_CASTLE) {
    san = FileOf(to) == FileOf(G1) ? "O-O" : "O-O-O";
  } else if (piece == PAWN) {
    if (flags & MF_CAPTURE) san = {static_cast<char>('a' + FileOf(from)), 'x'};
    san += SquareName(to);
    if (flags & MF_PROMOTION) san += {'=', SAN_LETTERS[MovePromotion(move) & TYPE_MASK]};
  } else {
    // Only other pieces of the same kind that can legally reach the square call for naming the
    // departure: a pinned one cannot.
    bool rival = false, sameFile = false, sameRank = false;
    MoveList legal;
    ListLegalMoves(legal);
    for (int i = 0; i < legal.count; ++i) {
      int other = MoveFrom(legal.moves[i]);
      if (MoveTo(legal.moves[i]) != to || other == from || TypeOf(pos.board[other]) != piece)
        continue;
      rival = true;
      sameFile |= FileOf(other) == FileOf(from);
      sameRank |= RankOf(other) == RankOf(from);
    }
    san = SAN_LETTERS[piece];
    if (rival && (!sameFile || sameRank)) san += static_cast<char>('a' + FileOf(from));
    if (rival && sameFile) san += static_cast<char>('1' + RankOf(from));
    if (flags & MF_CAPTURE) san += 'x';
    san += SquareName(to);
  }
  Undo undo;
  if (MakeMove(move, undo)) {
    san += CheckSign();
    UndoMove(move, undo);
  }
  return san;
}

Move ParseMove(const std::string& text, std::string& error) {
  std::string plain = StripAnnotations(text);
  MovePattern pattern;
  if (!ReadCoordinates(plain, pattern)) {
    pattern = MovePattern{};
    if (!ReadSan(plain, pattern)) {
      error = "not a move in SAN or coordinate notation";
      return NO_MOVE;
    }
  }
  MoveList legal;
  ListLegalMoves(legal);
  Move found = NO_MOVE;
  std::string candidates;
  int count = 0;
  for (int i = 0; i < legal.count; ++i) {
    if (!Fits(legal.moves[i], pattern)) continue;
    found = legal.moves[i];
    candidates += (count++ ? " or " : "") + MoveToSan(found);
  }
  if (count == 1) return found;
  error = count == 0 ? "no legal move fits it" : "ambiguous: " + candidates;
  return NO_MOVE;
}
