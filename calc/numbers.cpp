// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "numbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

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

// The most bits a number of the conversion below takes: 5^n for the most digits read (with
// the sticky one) below the least exponent, times a quotient of up to 64 bits; the digits
// themselves and a large integer are shorter. log2(5) < 2.33 and
// log2(10) < 3.33.
constexpr std::size_t kMostDigits = kKeptDigits + 1;
constexpr std::size_t kMostBits = std::max(
    {(kMostDigits + static_cast<std::size_t>(-kUnderflowExponent)) * 233 / 100 + 1 + 64,
     kMostDigits * 333 / 100 + 1, static_cast<std::size_t>(kOverflowExponent) * 333 / 100 + 1});

// A whole number up to kMostBits long, in 32-bit limbs, least significant first, with no zero
// limb on top and kept in place: the exact arithmetic that finds the double nearest to a long
// decimal, without allocating.
class Natural {
  public:
    Natural() = default;
    explicit Natural(std::uint64_t v) {
        for (; v != 0; v >>= kLimbBits) {
            limbs_[size_++] = static_cast<std::uint32_t>(v);
        }
    }

    [[nodiscard]] bool isZero() const { return size_ == 0; }
    [[nodiscard]] std::size_t bitLength() const {
        return size_ == 0 ? 0
                          : kLimbBits * (size_ - 1) +
                                static_cast<std::size_t>(std::bit_width(limbs_[size_ - 1]));
    }
    [[nodiscard]] bool bit(std::size_t index) const {
        const std::size_t limb = index / kLimbBits;
        return limb < size_ && ((limbs_[limb] >> (index % kLimbBits)) & 1U) != 0;
    }
    [[nodiscard]] bool anyBitBelow(std::size_t index) const {
        const std::size_t whole = std::min(index / kLimbBits, size_);
        if (std::any_of(limbs_.begin(), limbs_.begin() + static_cast<std::ptrdiff_t>(whole),
                        [](std::uint32_t limb) { return limb != 0; })) {
            return true;
        }
        const std::uint32_t below = (std::uint32_t{1} << (index % kLimbBits)) - 1;
        return whole < size_ && (limbs_[whole] & below) != 0;
    }
    // The number shifted right by the given count of bits; what is left must fit 64 bits.
    [[nodiscard]] std::uint64_t bitsFrom(std::size_t index) const {
        const std::size_t first = index / kLimbBits;
        if (first >= size_) {
            return 0;
        }
        std::uint64_t bits = limbs_[first] >> (index % kLimbBits);
        for (std::size_t i = first + 1; i < size_ && i * kLimbBits - index < 64; ++i) {
            bits |= std::uint64_t{limbs_[i]} << (i * kLimbBits - index);
        }
        return bits;
    }
    // Its leading 64 bits as a double, and the power of two they stand at.
    [[nodiscard]] std::pair<double, std::int64_t> leading() const {
        const std::size_t length = bitLength();
        const std::size_t below = length > 64 ? length - 64 : 0;
        return {static_cast<double>(bitsFrom(below)), static_cast<std::int64_t>(below)};
    }
    [[nodiscard]] bool lessThan(const Natural& other) const {
        if (size_ != other.size_) {
            return size_ < other.size_;
        }
        for (std::size_t i = size_; i-- > 0;) {
            if (limbs_[i] != other.limbs_[i]) {
                return limbs_[i] < other.limbs_[i];
            }
        }
        return false;
    }

    void add(std::uint64_t addend) {
        std::uint64_t carry = addend;
        for (std::size_t i = 0; carry != 0; ++i) {
            if (i == size_) {
                limbs_[size_++] = 0;
            }
            const std::uint64_t sum = limbs_[i] + (carry & UINT32_MAX);
            limbs_[i] = static_cast<std::uint32_t>(sum);
            carry = (carry >> kLimbBits) + (sum >> kLimbBits);
        }
    }
    void multiply(std::uint64_t factor) {
        // Each limb times the factor's two halves; the carry, below 2^64, takes the rest.
        const std::uint64_t low = factor & UINT32_MAX;
        const std::uint64_t high = factor >> kLimbBits;
        std::uint64_t carry = 0;
        for (std::size_t i = 0; i < size_; ++i) {
            const std::uint64_t limb = limbs_[i];
            const std::uint64_t bottom = (limb * low & UINT32_MAX) + (carry & UINT32_MAX);
            limbs_[i] = static_cast<std::uint32_t>(bottom);
            carry = (limb * low >> kLimbBits) + limb * high + (carry >> kLimbBits) +
                    (bottom >> kLimbBits);
        }
        for (; carry != 0; carry >>= kLimbBits) {
            limbs_[size_++] = static_cast<std::uint32_t>(carry);
        }
        trim();
    }
    template <std::uint64_t kBase>
    void multiplyByPower(std::size_t exponent) {
        // By the largest power of the base below 2^64 as often as it goes, then the rest.
        std::uint64_t step = kBase;
        std::size_t stepExponent = 1;
        while (step <= UINT64_MAX / kBase) {
            step *= kBase;
            ++stepExponent;
        }
        for (; exponent >= stepExponent; exponent -= stepExponent) {
            multiply(step);
        }
        std::uint64_t rest = 1;
        for (; exponent > 0; --exponent) {
            rest *= kBase;
        }
        multiply(rest);
    }
    void shiftLeft(std::size_t bits) {
        if (isZero()) {
            return;
        }
        const std::size_t limbs = bits / kLimbBits;
        const std::size_t offset = bits % kLimbBits;
        std::uint32_t carry = 0;
        if (offset != 0) {
            for (std::size_t i = 0; i < size_; ++i) {
                const std::uint32_t out = limbs_[i] >> (kLimbBits - offset);
                limbs_[i] = (limbs_[i] << offset) | carry;
                carry = out;
            }
        }
        std::copy_backward(limbs_.begin(), limbs_.begin() + static_cast<std::ptrdiff_t>(size_),
                           limbs_.begin() + static_cast<std::ptrdiff_t>(size_ + limbs));
        std::fill(limbs_.begin(), limbs_.begin() + static_cast<std::ptrdiff_t>(limbs), 0);
        size_ += limbs;
        if (carry != 0) {
            limbs_[size_++] = carry;
        }
    }
    // Takes away a number no greater than this one.
    void subtract(const Natural& other) {
        std::uint64_t borrow = 0;
        for (std::size_t i = 0; i < size_; ++i) {
            const std::uint64_t taken = (i < other.size_ ? other.limbs_[i] : 0) + borrow;
            borrow = limbs_[i] < taken ? 1 : 0;
            limbs_[i] = static_cast<std::uint32_t>(limbs_[i] - taken);
        }
        trim();
    }

  private:
    static constexpr std::size_t kLimbBits = 32;

    void trim() {
        while (size_ > 0 && limbs_[size_ - 1] == 0) {
            --size_;
        }
    }

    std::array<std::uint32_t, kMostBits / kLimbBits + 1> limbs_{};
    std::size_t size_ = 0;
};

// whole x 2^exponent, plus less than one unit of whole's last bit when inexact, rounded to the
// nearest double, ties to even, below 2^-1022 on the subnormals' coarser grid; nothing when
// that is 2^1024 or more. An inexact whole has more bits than a double keeps, so that the bit
// that decides a tie is among them and the fraction only tips it.
std::optional<double> nearestDouble(const Natural& whole, bool inexact, std::int64_t exponent) {
    constexpr std::int64_t kPrecision = DBL_MANT_DIG;                // 53 bits
    constexpr std::int64_t kLowestBit = DBL_MIN_EXP - DBL_MANT_DIG;  // 2^-1074, the least
    constexpr std::int64_t kBeyond = DBL_MAX_EXP;                    // 2^1024 is too large
    const auto length = static_cast<std::int64_t>(whole.bitLength());
    const std::int64_t lastKept = std::max(length + exponent - kPrecision, kLowestBit);
    const auto dropped = static_cast<std::size_t>(std::max<std::int64_t>(lastKept - exponent, 0));
    std::uint64_t kept = whole.bitsFrom(dropped);
    if (dropped > 0 && whole.bit(dropped - 1) &&
        (inexact || (kept & 1U) != 0 || whole.anyBitBelow(dropped - 1))) {
        ++kept;  // may carry into the next power of two, which is still exact
    }
    if (kept == 0) {
        return 0.0;
    }
    const std::int64_t scale = exponent + static_cast<std::int64_t>(dropped);
    if (static_cast<std::int64_t>(std::bit_width(kept)) + scale > kBeyond) {
        return std::nullopt;
    }
    return std::ldexp(static_cast<double>(kept), static_cast<int>(scale));
}

struct Quotient {
    std::uint64_t whole;
    bool inexact;  // a remainder was left
};

// The quotient of two whole numbers, known to be below 2^63: estimated in doubles from their
// leading bits, then put right exactly, a unit at a time. The numerator is left the remainder.
Quotient divide(Natural& numerator, const Natural& divisor) {
    const auto [top, topPlace] = numerator.leading();
    const auto [bottom, bottomPlace] = divisor.leading();
    const double estimate = std::ldexp(top / bottom, static_cast<int>(topPlace - bottomPlace));
    auto whole = static_cast<std::uint64_t>(std::clamp(estimate, 0.0, 0x1p63));
    Natural product = divisor;
    product.multiply(whole);
    while (numerator.lessThan(product)) {
        --whole;
        product.subtract(divisor);
    }
    numerator.subtract(product);
    while (!numerator.lessThan(divisor)) {
        ++whole;
        numerator.subtract(divisor);
    }
    return {whole, !numerator.isZero()};
}

// digits x 10^-n, that is digits / 5^n x 2^-n. A power of two scales the division so that the
// quotient has 55 or 56 bits: a double's 53, the one that decides the rounding and a spare.
// The digits are used up.
std::optional<double> nearestQuotient(Natural& digits, std::size_t n) {
    constexpr std::int64_t kQuotientBits = 56;
    Natural divisor(1);
    divisor.multiplyByPower<5>(n);
    const std::int64_t shift = kQuotientBits - 1 + static_cast<std::int64_t>(divisor.bitLength()) -
                               static_cast<std::int64_t>(digits.bitLength());
    if (shift >= 0) {
        digits.shiftLeft(static_cast<std::size_t>(shift));
    } else {
        divisor.shiftLeft(static_cast<std::size_t>(-shift));
    }
    const Quotient quotient = divide(digits, divisor);
    return nearestDouble(Natural(quotient.whole), quotient.inexact,
                         -static_cast<std::int64_t>(n) - shift);
}

// A decimal number gathered digit by digit as +/-0.DIGITS x 10^(point + exponent).
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

    [[nodiscard]] Reading toDouble() const {
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
        const std::optional<double> rounded = correctlyRounded(magnitude);
        if (!rounded) {
            return failure(ReadError::OutOfRange);
        }
        return value(negative_ ? -*rounded : *rounded);
    }

  private:
    // Up to 15 digits times or divided by a power of ten up to 10^22: both are exact doubles,
    // so the one multiplication or division rounds once, correctly.
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

    // The digits, and the sticky one after them, as the integer D of D x 10^power.
    [[nodiscard]] Natural significand() const {
        constexpr std::uint64_t kChunk = 10'000'000'000'000'000'000U;  // 19 digits at a time
        Natural whole;
        std::uint64_t chunk = 0;
        std::uint64_t scale = 1;
        const auto add = [&](char d) {
            chunk = chunk * 10 + static_cast<std::uint64_t>(d - '0');
            scale *= 10;
            if (scale == kChunk) {
                whole.multiply(scale);
                whole.add(chunk);
                chunk = 0;
                scale = 1;
            }
        };
        for (std::size_t i = 0; i < kept_; ++i) {
            add(digits_[i]);
        }
        if (dropped_) {
            add('1');
        }
        whole.multiply(scale);
        whole.add(chunk);
        return whole;
    }

    // The double nearest to the number, exactly; nothing when beyond the double range.
    [[nodiscard]] std::optional<double> correctlyRounded(std::int64_t magnitude) const {
        Natural whole = significand();
        const auto count = static_cast<std::int64_t>(kept_ + (dropped_ ? 1 : 0));
        const std::int64_t power = magnitude - count;
        if (power >= 0) {
            whole.multiplyByPower<10>(static_cast<std::size_t>(power));
            return nearestDouble(whole, false, 0);
        }
        return nearestQuotient(whole, static_cast<std::size_t>(-power));
    }

    void keep(char d) {
        if (kept_ < kKeptDigits) {
            if (kept_ < kExactDigits) {
                leading_ = leading_ * 10 + static_cast<std::uint64_t>(d - '0');
            }
            digits_[kept_++] = d;
        } else if (d != '0') {
            dropped_ = true;
        }
    }

    bool negative_ = false;
    // The significant digits, no leading zeros, kept in place: no allocation per number.
    std::array<char, kKeptDigits> digits_{};
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
    void addDigit(int digit, int bitsPerDigit) {
        for (int bit = bitsPerDigit - 1; bit >= 0; --bit) {
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

    std::uint64_t leading_ = 0;  // leading zeros leave it zero
    std::int64_t trailing_ = 0;
    bool sticky_ = false;
};

// '&H' or '&O' has been read: the digits of a non-negative integer follow.
Reading readRadixInteger(Cursor& in, bool octal) {
    const int bitsPerDigit = octal ? 3 : 4;
    BinaryInteger number;
    for (char c = nextLenient(in);; c = nextLenient(in)) {
        const int digit = hexValue(c);
        if (digit < 0 || (octal && digit > 7)) {
            break;
        }
        in.advance();
        number.addDigit(digit, bitsPerDigit);
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
