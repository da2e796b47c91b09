// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "numbers.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

namespace calc {
namespace {

// Digits beyond this many significant ones cannot change which double a number rounds to,
// as long as a sticky digit records that something non-zero was dropped.
constexpr std::size_t kKeptDigits = 800;
// Decimal exponents past these bounds are certainly beyond, or below, the double range.
constexpr std::int64_t kOverflowExponent = 330;
constexpr std::int64_t kUnderflowExponent = -360;
// Up to this many digits make an integer that a double holds exactly.
constexpr std::size_t kExactDigits = 15;
// Keeps the exponent arithmetic far from int64's limits however long the text is.
constexpr std::int64_t kExponentCap = 1'000'000'000'000;
// Room after the kept digits for the sticky digit, the exponent's letter and an int64.
constexpr std::size_t kTailRoom = 1 + 1 + 20;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

Reading value(double v) {
    return Reading{v, ReadError::NotANumber};
}
Reading failure(ReadError error) {
    return Reading{std::nullopt, error};
}

std::int64_t capped(std::int64_t v) {
    if (v > kExponentCap) {
        return kExponentCap;
    }
    return v < -kExponentCap ? -kExponentCap : v;
}

// A decimal number gathered digit by digit as +/-0.DIGITS x 10^(point + exponent), whatever
// the text's separators and grouping; fast_float rounds it to the nearest double.
class DecimalNumber {
  public:
    DecimalNumber() = default;
    DecimalNumber(const DecimalNumber&) = delete;  // its digits are many, and read in place
    DecimalNumber& operator=(const DecimalNumber&) = delete;
    ~DecimalNumber() = default;

    void setNegative(bool negative) { negative_ = negative; }
    void addIntegerDigit(char d) {
        if (kept_ == 0 && d == '0') {
            return;
        }
        keep(d);
        point_ = capped(point_ + 1);
    }
    void addFractionDigit(char d) {
        if (kept_ == 0 && d == '0') {
            point_ = capped(point_ - 1);
            return;
        }
        keep(d);
    }
    void addExponentDigit(char d) { exponent_ = capped(exponent_ * 10 + (d - '0')); }
    void setExponentNegative(bool negative) { exponentNegative_ = negative; }

    // Writes the exponent after the digits: call it once, when the number is complete.
    [[nodiscard]] Reading toDouble() {
        const double zero = negative_ ? -0.0 : 0.0;
        if (kept_ == 0) {
            return value(zero);
        }
        const std::int64_t magnitude = point_ + (exponentNegative_ ? -exponent_ : exponent_);
        if (magnitude > kOverflowExponent) {
            return failure(ReadError::OutOfRange);
        }
        if (magnitude < kUnderflowExponent) {
            return value(zero);
        }
        if (const std::optional<double> exact = exactlyInDoubles(magnitude)) {
            return value(negative_ ? -*exact : *exact);
        }
        const double nearest = nearestDouble(magnitude);
        if (std::isinf(nearest)) {
            return failure(ReadError::OutOfRange);
        }
        return value(negative_ ? -nearest : nearest);
    }

  private:
    // Up to 15 digits times or divided by a power of ten up to 10^22: both are exact doubles,
    // so the one multiplication or division rounds once, correctly. Most weights take this
    // road, which spares writing them out again for fast_float.
    [[nodiscard]] std::optional<double> exactlyInDoubles(std::int64_t magnitude) const {
        constexpr std::int64_t kExactPower = 22;
        constexpr std::array<double, kExactPower + 1> kPowers = {
            1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
            1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        if constexpr (FLT_EVAL_METHOD != 0) {
            return std::nullopt;  // intermediate precision would round twice
        }
        const std::int64_t power = magnitude - static_cast<std::int64_t>(kept_);
        if (dropped_ || kept_ > kExactDigits || power > kExactPower || power < -kExactPower) {
            return std::nullopt;
        }
        const auto whole = static_cast<double>(leading_);
        return power >= 0 ? whole * kPowers[static_cast<std::size_t>(power)]
                          : whole / kPowers[static_cast<std::size_t>(-power)];
    }

    // The digits, and the sticky one after them, as the integer D of D x 10^power, written
    // "De<power>" in plain ASCII for fast_float, which rounds it once, exactly, however many
    // digits there are. Past the double range it gives an infinity or a zero: fast_float 3
    // says no more, later versions add result_out_of_range, so the value alone is looked at.
    [[nodiscard]] double nearestDouble(std::int64_t magnitude) {
        std::size_t length = kept_;
        if (dropped_) {
            text_[length++] = '1';
        }
        const std::int64_t power = magnitude - static_cast<std::int64_t>(length);
        text_[length++] = 'e';
        const char* const end =
            std::to_chars(text_.data() + length, text_.data() + text_.size(), power).ptr;
        double nearest = 0;
        fast_float::from_chars_advanced(text_.data(), end, nearest, fast_float::parse_options{});
        return nearest;
    }

    void keep(char d) {
        if (kept_ < kKeptDigits) {
            if (kept_ < kExactDigits) {
                leading_ = leading_ * 10 + static_cast<std::uint64_t>(d - '0');
            }
            text_[kept_++] = d;
        } else {
            dropped_ = dropped_ || d != '0';
        }
    }

    bool negative_ = false;
    // The significant digits, no leading zeros, kept in place: no allocation per number. The
    // room after them takes the rest of the text fast_float reads.
    std::array<char, kKeptDigits + kTailRoom> text_{};
    std::size_t kept_ = 0;
    std::uint64_t leading_ = 0;  // the first kExactDigits of them as an integer
    bool dropped_ = false;       // a non-zero digit past kKeptDigits was left out
    std::int64_t point_ = 0;     // where the decimal point stands relative to the digits
    std::int64_t exponent_ = 0;
    bool exponentNegative_ = false;
};

// A forward cursor over UTF-8 text.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}

    [[nodiscard]] bool atEnd() const { return pos_ >= text_.size(); }
    [[nodiscard]] char peek(std::size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }
    [[nodiscard]] bool startsWith(std::string_view s) const {
        // The first byte alone settles most calls, without a call to compare the rest.
        return !s.empty() && peek() == s.front() && text_.substr(pos_).starts_with(s);
    }
    void advance(std::size_t n = 1) { pos_ += n; }
    bool take(std::string_view s) {
        if (!startsWith(s)) {
            return false;
        }
        pos_ += s.size();
        return true;
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// ---- Strict reading ----

bool isStrictBlank(char c) {
    return c == ' ' || c == '\t';
}

void skipStrictBlanks(Cursor& in) {
    while (isStrictBlank(in.peek()) && !in.atEnd()) {
        in.advance();
    }
}

// The group separators a user can type for the locale: its own, and an ordinary blank where
// the locale groups with a no-break space, which keyboards seldom offer.
struct GroupMarks {
    std::string_view own;
    std::string_view typed;
};

GroupMarks groupMarks(const Separators& separators) {
    if (separators.group.empty() || separators.group == separators.decimal) {
        return {};
    }
    const bool noBreakSpace = separators.group == "\u00A0" || separators.group == "\u202F";
    return {separators.group, noBreakSpace ? std::string_view(" ") : std::string_view()};
}

// Consumes a group mark followed by exactly three digits, and the digits.
bool takeDigitGroup(Cursor& in, const GroupMarks& marks, DecimalNumber& number) {
    for (const std::string_view mark : {marks.own, marks.typed}) {
        if (mark.empty() || !in.startsWith(mark)) {
            continue;
        }
        Cursor probe = in;
        probe.advance(mark.size());
        if (!isDigit(probe.peek()) || !isDigit(probe.peek(1)) || !isDigit(probe.peek(2)) ||
            isDigit(probe.peek(3))) {
            return false;
        }
        in = probe;
        for (int i = 0; i < 3; ++i) {
            number.addIntegerDigit(in.peek());
            in.advance();
        }
        return true;
    }
    return false;
}

// Reads the integer digits; returns how many there were, or -1 for grouping the locale
// does not allow.
int takeIntegerPart(Cursor& in, const GroupMarks& marks, DecimalNumber& number) {
    int count = 0;
    int leadingGroup = 0;
    while (isDigit(in.peek())) {
        number.addIntegerDigit(in.peek());
        in.advance();
        ++count;
        ++leadingGroup;
    }
    bool grouped = false;
    while (leadingGroup > 0 && takeDigitGroup(in, marks, number)) {
        grouped = true;
        count += 3;
    }
    if (grouped && leadingGroup > 3) {
        return -1;
    }
    // A group mark followed by anything but three digits is no number, unless the mark is
    // a blank that merely ends it.
    if (leadingGroup > 0 && !marks.own.empty() && in.startsWith(marks.own) &&
        !isStrictBlank(marks.own.front())) {
        return -1;
    }
    return count;
}

bool takeExponent(Cursor& in, DecimalNumber& number) {
    if (in.peek() != 'e' && in.peek() != 'E') {
        return true;
    }
    in.advance();
    if (in.peek() == '+' || in.peek() == '-') {
        number.setExponentNegative(in.peek() == '-');
        in.advance();
    }
    if (!isDigit(in.peek())) {
        return false;
    }
    while (isDigit(in.peek())) {
        number.addExponentDigit(in.peek());
        in.advance();
    }
    return true;
}

// ---- Lenient reading ----

bool isLenientSkip(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// The next character that is not skipped, or '\0' at the end.
char nextLenient(Cursor& in) {
    while (!in.atEnd() && isLenientSkip(in.peek())) {
        in.advance();
    }
    return in.peek();
}

int hexValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// A non-negative integer gathered a bit at a time, for one rounding to the nearest double: its
// leading 64 bits, how many bits came after them and whether any of those was a one.
class BinaryInteger {
  public:
    explicit BinaryInteger(int bitsPerDigit) : bitsPerDigit_(bitsPerDigit) {}

    void addDigit(int digit) {
        for (int bit = bitsPerDigit_ - 1; bit >= 0; --bit) {
            addBit(((digit >> bit) & 1) != 0);
        }
    }

    // Ties to even; 2^1024 and beyond is out of range.
    [[nodiscard]] Reading toDouble() const {
        const int cut = std::max(static_cast<int>(std::bit_width(leading_)) - DBL_MANT_DIG, 0);
        std::uint64_t kept = leading_ >> cut;
        if (cut > 0) {
            const std::uint64_t half = std::uint64_t{1} << (cut - 1);
            const std::uint64_t rest = leading_ & ((half << 1) - 1);
            if (rest > half || (rest == half && (sticky_ || (kept & 1U) != 0))) {
                ++kept;  // may carry into the next power of two, which is still exact
            }
        }
        const std::int64_t scale = cut + trailing_;
        if (static_cast<std::int64_t>(std::bit_width(kept)) + scale > DBL_MAX_EXP) {
            return failure(ReadError::OutOfRange);
        }
        return value(std::ldexp(static_cast<double>(kept), static_cast<int>(scale)));
    }

  private:
    void addBit(bool one) {
        if (std::bit_width(leading_) < 64) {
            leading_ = (leading_ << 1) | (one ? 1U : 0U);
        } else {
            sticky_ = sticky_ || one;
            ++trailing_;
        }
    }

    int bitsPerDigit_;
    std::uint64_t leading_ = 0;  // leading zeros leave it zero
    std::int64_t trailing_ = 0;
    bool sticky_ = false;
};

// '&H' or '&O' has been read: the digits of a non-negative integer follow.
Reading readRadixInteger(Cursor& in, bool octal) {
    BinaryInteger number(octal ? 3 : 4);
    for (char c = nextLenient(in);; c = nextLenient(in)) {
        const int digit = hexValue(c);
        if (digit < 0 || (octal && digit > 7)) {
            break;
        }
        in.advance();
        number.addDigit(digit);
    }
    return number.toDouble();
}

// Reads "E-12" and the like after a mantissa; leaves the cursor where it was when no digit
// follows the letter, so "1E" reads as 1.
void takeLenientExponent(Cursor& in, DecimalNumber& number) {
    const char letter = nextLenient(in);
    if (letter != 'e' && letter != 'E' && letter != 'd' && letter != 'D') {
        return;
    }
    Cursor probe = in;
    probe.advance();
    const char sign = nextLenient(probe);
    if (sign == '+' || sign == '-') {
        probe.advance();
    }
    if (!isDigit(nextLenient(probe))) {
        return;
    }
    number.setExponentNegative(sign == '-');
    for (char c = nextLenient(probe); isDigit(c); c = nextLenient(probe)) {
        number.addExponentDigit(c);
        probe.advance();
    }
    in = probe;
}

}  // namespace

Reading readStrict(std::string_view text, const Separators& separators) {
    Cursor in(text);
    DecimalNumber number;
    skipStrictBlanks(in);
    if (in.peek() == '+' || in.peek() == '-') {
        number.setNegative(in.peek() == '-');
        in.advance();
    }
    const int integerDigits = takeIntegerPart(in, groupMarks(separators), number);
    if (integerDigits < 0) {
        return failure(ReadError::NotANumber);
    }
    int fractionDigits = 0;
    if (in.take(separators.decimal)) {
        while (isDigit(in.peek())) {
            number.addFractionDigit(in.peek());
            in.advance();
            ++fractionDigits;
        }
    }
    if (integerDigits + fractionDigits == 0 || !takeExponent(in, number)) {
        return failure(ReadError::NotANumber);
    }
    skipStrictBlanks(in);
    if (!in.atEnd()) {
        return failure(ReadError::NotANumber);
    }
    return number.toDouble();
}

Reading readLenient(std::string_view text) {
    Cursor in(text);
    DecimalNumber number;
    char c = nextLenient(in);
    if (c == '&') {
        in.advance();
        const char radix = nextLenient(in);
        const bool hex = radix == 'h' || radix == 'H';
        const bool octal = radix == 'o' || radix == 'O';
        if (!hex && !octal) {
            return value(0.0);
        }
        in.advance();
        return readRadixInteger(in, octal);
    }
    if (c == '+' || c == '-') {
        number.setNegative(c == '-');
        in.advance();
        c = nextLenient(in);
    }
    bool inFraction = false;
    bool anyDigit = false;
    for (;; c = nextLenient(in)) {
        if (isDigit(c)) {
            anyDigit = true;
            inFraction ? number.addFractionDigit(c) : number.addIntegerDigit(c);
        } else if (c == '.' && !inFraction) {
            inFraction = true;
        } else {
            break;
        }
        in.advance();
    }
    if (!anyDigit) {
        return value(0.0);
    }
    takeLenientExponent(in, number);
    return number.toDouble();
}

}  // namespace calc
