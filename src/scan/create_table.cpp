#include "scan/create_table.h"

#include <algorithm>
#include <cctype>

namespace orv {
namespace {

enum class TokenKind { kWord, kQuoted, kNumber, kString, kPunct, kEnd, kCut };

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::string text;  // a word or quoted name unquoted; a punctuation character
};

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// Splits SQL text into tokens; a quote, comment or literal left open at the
// end of the text gives kCut (the statement was cut there).
class Lexer {
 public:
  explicit Lexer(std::string_view sql) : sql_(sql) {}

  Token next() {
    skipSpaceAndComments();
    if (cut_) return {TokenKind::kCut, {}};
    if (pos_ >= sql_.size()) return {TokenKind::kEnd, {}};
    const char c = sql_[pos_];
    if (c == '"' || c == '`' || c == '[' || c == '\'') return quoted(c);
    if (IsWordChar(c)) {
      const std::size_t start = pos_;
      while (pos_ < sql_.size() && IsWordChar(sql_[pos_])) ++pos_;
      const std::string_view word = sql_.substr(start, pos_ - start);
      const bool number = std::isdigit(static_cast<unsigned char>(word[0]));
      return {number ? TokenKind::kNumber : TokenKind::kWord, std::string(word)};
    }
    ++pos_;
    return {TokenKind::kPunct, std::string(1, c)};
  }

 private:
  void skipSpaceAndComments() {
    while (pos_ < sql_.size()) {
      const char c = sql_[pos_];
      if (std::isspace(static_cast<unsigned char>(c))) {
        ++pos_;
      } else if (sql_.substr(pos_, 2) == "--") {
        const std::size_t end = sql_.find('\n', pos_);
        pos_ = end == std::string_view::npos ? sql_.size() : end + 1;
      } else if (sql_.substr(pos_, 2) == "/*") {
        const std::size_t end = sql_.find("*/", pos_ + 2);
        if (end == std::string_view::npos) {
          cut_ = true;
          return;
        }
        pos_ = end + 2;
      } else {
        return;
      }
    }
  }

  // A quoted name or string literal; a doubled closing quote stands for one.
  Token quoted(char open) {
    const char close = open == '[' ? ']' : open;
    std::string text;
    for (std::size_t i = pos_ + 1; i < sql_.size(); ++i) {
      if (sql_[i] != close) {
        text.push_back(sql_[i]);
        continue;
      }
      if (close != ']' && i + 1 < sql_.size() && sql_[i + 1] == close) {
        text.push_back(close);
        ++i;
        continue;
      }
      pos_ = i + 1;
      return {open == '\'' ? TokenKind::kString : TokenKind::kQuoted, std::move(text)};
    }
    cut_ = true;
    return {TokenKind::kCut, {}};
  }

  std::string_view sql_;
  std::size_t pos_ = 0;
  bool cut_ = false;
};

bool IsName(const Token& token) {
  return token.kind == TokenKind::kWord || token.kind == TokenKind::kQuoted ||
         token.kind == TokenKind::kString;
}

bool IsPunct(const Token& token, char c) {
  return token.kind == TokenKind::kPunct && token.text.size() == 1 && token.text[0] == c;
}

bool IsKeyword(const Token& token, std::string_view word) {
  return token.kind == TokenKind::kWord && Upper(token.text) == word;
}

// Words that end a column's type and start its constraints.
bool StartsConstraint(const Token& token) {
  if (token.kind != TokenKind::kWord) return false;
  static constexpr std::string_view kWords[] = {"CONSTRAINT", "PRIMARY",   "NOT",     "NULL",
                                                "UNIQUE",     "CHECK",     "DEFAULT", "COLLATE",
                                                "REFERENCES", "GENERATED", "AS"};
  const std::string upper = Upper(token.text);
  return std::find(std::begin(kWords), std::end(kWords), upper) != std::end(kWords);
}

// Words that start a table constraint instead of a column definition.
bool StartsTableConstraint(const Token& token) {
  return IsKeyword(token, "CONSTRAINT") || IsKeyword(token, "PRIMARY") ||
         IsKeyword(token, "UNIQUE") || IsKeyword(token, "CHECK") || IsKeyword(token, "FOREIGN");
}

// One definition between the table's commas, as its tokens.
struct Definition {
  std::vector<Token> tokens;
};

// Cuts the body of the column list into definitions at top-level commas.
// `closed` tells whether the list's closing parenthesis was reached.
std::vector<Definition> SplitDefinitions(Lexer& lexer, bool& closed, bool& withoutRowid) {
  std::vector<Definition> definitions(1);
  int depth = 0;
  closed = false;
  for (Token token = lexer.next();; token = lexer.next()) {
    if (token.kind == TokenKind::kEnd || token.kind == TokenKind::kCut) return definitions;
    if (IsPunct(token, '(')) ++depth;
    if (IsPunct(token, ')')) {
      if (depth == 0) break;
      --depth;
    }
    if (depth == 0 && IsPunct(token, ',')) {
      definitions.emplace_back();
      continue;
    }
    definitions.back().tokens.push_back(std::move(token));
  }
  closed = true;
  Token after = lexer.next();
  if (IsPunct(after, ',')) after = lexer.next();  // "WITHOUT ROWID, STRICT"
  withoutRowid = IsKeyword(after, "WITHOUT");
  return definitions;
}

// The declared type: the words after the name up to the first constraint,
// with a size in parentheses kept as written ("VARCHAR(20)").
ColumnSchema ColumnFrom(const Definition& definition) {
  ColumnSchema column;
  column.name = definition.tokens.front().text;
  std::size_t i = 1;
  for (; i < definition.tokens.size(); ++i) {
    const Token& token = definition.tokens[i];
    if (StartsConstraint(token)) break;
    if (IsPunct(token, '(')) {
      for (; i < definition.tokens.size(); ++i) {
        column.declaredType += definition.tokens[i].text;
        if (IsPunct(definition.tokens[i], ')')) break;
      }
      continue;
    }
    if (!column.declaredType.empty()) column.declaredType.push_back(' ');
    column.declaredType += token.text;
  }
  column.affinity = AffinityOfType(column.declaredType);
  // "INTEGER PRIMARY KEY" (not DESC) makes the column the rowid's alias.
  for (; i + 1 < definition.tokens.size(); ++i) {
    if (!IsKeyword(definition.tokens[i], "PRIMARY") || !IsKeyword(definition.tokens[i + 1], "KEY"))
      continue;
    const bool descending =
        i + 2 < definition.tokens.size() && IsKeyword(definition.tokens[i + 2], "DESC");
    column.rowidAlias = Upper(column.declaredType) == "INTEGER" && !descending;
  }
  return column;
}

// "PRIMARY KEY (name)" as a table constraint on a single INTEGER column.
void ApplyTablePrimaryKey(const Definition& definition, std::vector<ColumnSchema>& columns) {
  const auto& tokens = definition.tokens;
  std::size_t i = 0;
  while (i + 1 < tokens.size() &&
         !(IsKeyword(tokens[i], "PRIMARY") && IsKeyword(tokens[i + 1], "KEY")))
    ++i;
  // PRIMARY KEY ( name ) with nothing but an optional ASC between.
  if (i + 3 >= tokens.size() || !IsPunct(tokens[i + 2], '(') || !IsName(tokens[i + 3])) return;
  std::size_t close = i + 4;
  if (close < tokens.size() && IsKeyword(tokens[close], "ASC")) ++close;
  if (close >= tokens.size() || !IsPunct(tokens[close], ')')) return;
  for (ColumnSchema& column : columns)
    if (Upper(column.name) == Upper(tokens[i + 3].text) && Upper(column.declaredType) == "INTEGER")
      column.rowidAlias = true;
}

}  // namespace

Affinity AffinityOfType(std::string_view declaredType) {
  const std::string type = Upper(declaredType);
  if (type.find("INT") != std::string::npos) return Affinity::kInteger;
  if (type.find("CHAR") != std::string::npos || type.find("CLOB") != std::string::npos ||
      type.find("TEXT") != std::string::npos)
    return Affinity::kText;
  if (type.empty() || type.find("BLOB") != std::string::npos) return Affinity::kBlob;
  if (type.find("REAL") != std::string::npos || type.find("FLOA") != std::string::npos ||
      type.find("DOUB") != std::string::npos)
    return Affinity::kReal;
  return Affinity::kNumeric;
}

std::optional<TableSchema> ParseCreateTable(std::string_view sql) {
  Lexer lexer(sql);
  if (!IsKeyword(lexer.next(), "CREATE")) return std::nullopt;
  Token token = lexer.next();
  if (IsKeyword(token, "TEMP") || IsKeyword(token, "TEMPORARY")) token = lexer.next();
  if (!IsKeyword(token, "TABLE")) return std::nullopt;
  token = lexer.next();
  if (IsKeyword(token, "IF")) {
    if (!IsKeyword(lexer.next(), "NOT") || !IsKeyword(lexer.next(), "EXISTS")) return std::nullopt;
    token = lexer.next();
  }
  if (!IsName(token)) return std::nullopt;
  TableSchema table;
  table.name = token.text;
  token = lexer.next();
  if (IsPunct(token, '.')) {
    token = lexer.next();
    if (!IsName(token)) return std::nullopt;
    table.name = token.text;
    token = lexer.next();
  }
  if (!IsPunct(token, '(')) return std::nullopt;

  bool closed = false;
  bool withoutRowid = false;
  std::vector<Definition> definitions = SplitDefinitions(lexer, closed, withoutRowid);
  if (withoutRowid) return std::nullopt;
  // A cut statement's last definition may be unfinished: drop it.
  if (!closed) definitions.pop_back();
  table.complete = closed;
  bool constraints = false;
  for (const Definition& definition : definitions) {
    if (definition.tokens.empty()) return std::nullopt;
    if (constraints || StartsTableConstraint(definition.tokens.front())) {
      constraints = true;  // table constraints come after every column
      ApplyTablePrimaryKey(definition, table.columns);
      continue;
    }
    if (!IsName(definition.tokens.front())) return std::nullopt;
    table.columns.push_back(ColumnFrom(definition));
  }
  if (table.columns.empty()) return std::nullopt;
  return table;
}

}  // namespace orv
