#include "platform/pattern.h"

#include "platform/utf8.h"

#include <cstdint>
#include <vector>

namespace orv {

namespace {

// Code points of a UTF-8 text; an invalid byte stands for itself.
std::u32string codePoints(const std::string& text) {
  std::u32string out;
  for (size_t i = 0; i < text.size();) {
    size_t start = i;
    bool valid = true;
    char32_t cp = decodeUtf8(text, i, &valid);
    out += valid ? cp : static_cast<unsigned char>(text[start]);
  }
  return out;
}

char32_t fold(char32_t c) { return foldUpper(c); }

// Pattern tokens of the enumeration rules.
constexpr char32_t kStar = 0x110001, kDosStar = 0x110002, kDosQm = 0x110003, kDosDot = 0x110004;

// The conversion the enumeration applies to the pattern before matching.
std::u32string dosTokens(const std::u32string& p) {
  std::u32string out;
  for (size_t i = 0; i < p.size(); ++i) {
    char32_t next = i + 1 < p.size() ? p[i + 1] : 0;
    if (p[i] == '?')
      out += kDosQm;
    else if (p[i] == '*')
      out += next == '.' ? kDosStar : kStar;
    else if (p[i] == '.' && (next == '?' || next == '*' || next == 0))
      out += kDosDot;
    else
      out += fold(p[i]);
  }
  return out;
}

// Dynamic match over (token, name) positions; memo holds 0 unknown, 1 no, 2 yes.
class DosMatcher {
 public:
  DosMatcher(const std::u32string& tokens, const std::u32string& name)
      : t_(tokens), n_(name), memo_((tokens.size() + 1) * (name.size() + 1), 0) {
    for (size_t i = 0; i < n_.size(); ++i)
      if (n_[i] == '.') lastDot_ = i;
  }
  bool match(size_t p, size_t n) {
    uint8_t& m = memo_[p * (n_.size() + 1) + n];
    if (m == 0) m = compute(p, n) ? 2 : 1;
    return m == 2;
  }

 private:
  bool compute(size_t p, size_t n) {
    bool end = n == n_.size();
    if (p == t_.size()) return end;
    char32_t tok = t_[p];
    if (tok == kStar) return match(p + 1, n) || (!end && match(p, n + 1));
    if (tok == kDosStar) return match(p + 1, n) || (!end && n != lastDot_ && match(p, n + 1));
    if (tok == kDosQm) {
      if (end || n_[n] == '.') {
        size_t q = p;
        while (q < t_.size() && t_[q] == kDosQm) ++q;
        return match(q, n);
      }
      return match(p + 1, n + 1);
    }
    if (tok == kDosDot) return end ? match(p + 1, n) : (n_[n] == '.' && match(p + 1, n + 1));
    return !end && fold(n_[n]) == tok && match(p + 1, n + 1);
  }

  const std::u32string& t_;
  const std::u32string& n_;
  std::vector<uint8_t> memo_;
  size_t lastDot_ = static_cast<size_t>(-1);
};

// One mask of a filter ("*" any run, "?" one character), from mask[m] up to ";" or
// the end; greedy with a return to the last "*", so linear in practice.
bool matchMask(const std::u32string& name, const std::u32string& mask, size_t m) {
  auto atEnd = [&](size_t k) { return k == mask.size() || mask[k] == ';'; };
  const size_t none = static_cast<size_t>(-1);
  size_t n = 0, starM = none, starN = 0;
  while (n < name.size()) {
    if (!atEnd(m) && mask[m] == '*') {
      starM = ++m;
      starN = n;
    } else if (!atEnd(m) && (mask[m] == '?' || fold(mask[m]) == fold(name[n]))) {
      ++n, ++m;
    } else if (starM != none) {
      m = starM;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (!atEnd(m) && mask[m] == '*') ++m;
  return atEnd(m);
}

}  // namespace

bool matchFindPattern(const std::string& name, const std::string& pattern) {
  if (pattern.empty()) return true;
  std::u32string tokens = dosTokens(codePoints(pattern));
  std::u32string cps = codePoints(name);
  return DosMatcher(tokens, cps).match(0, 0);
}

bool matchFileFilter(const std::string& name, const std::string& filter) {
  if (filter.empty() || filter == "*.*") return true;
  std::u32string mask = codePoints(filter), cps = codePoints(name);
  for (size_t m = 0; m < mask.size();) {
    while (m < mask.size() && mask[m] == ' ') ++m;
    if (matchMask(cps, mask, m)) return true;
    while (m < mask.size() && mask[m] != ';') ++m;
    if (m < mask.size()) ++m;
  }
  return false;
}

}  // namespace orv
