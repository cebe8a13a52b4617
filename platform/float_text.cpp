#include "platform/float_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace lorvane {

namespace {

// Exact arithmetic: every decision below compares exact values, never rounded ones.
class BigNumber {
public:
    explicit BigNumber(std::uint64_t value)
    {
        while (value != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(value));
            value >>= 32U;
        }
    }

    void MultiplyAdd(std::uint32_t factor, std::uint32_t addend)
    {
        std::uint64_t carry = addend;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32U;
        }
        if (carry != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(carry));
        }
    }

    void MultiplyByPowerOfFive(int count)
    {
        constexpr std::array<std::uint32_t, 14> powers = {1,       5,        25,        125,       625,
                                                          3125,    15625,    78125,     390625,    1953125,
                                                          9765625, 48828125, 244140625, 1220703125};
        constexpr int largest = 13;
        for (; count > 0; count -= largest) {
            MultiplyAdd(powers.at(static_cast<std::size_t>(std::min(count, largest))), 0);
        }
    }

    void ShiftLeft(int bits)
    {
        if (limbs_.empty() || bits <= 0) {
            return;
        }
        const auto rest = static_cast<unsigned>(bits % 32);
        if (rest != 0) {
            std::uint32_t carry = 0;
            for (std::uint32_t& limb : limbs_) {
                const std::uint32_t next = limb >> (32U - rest);
                limb = (limb << rest) | carry;
                carry = next;
            }
            if (carry != 0) {
                limbs_.push_back(carry);
            }
        }
        limbs_.insert(limbs_.begin(), static_cast<std::size_t>(bits / 32), 0U);
    }

    // Divides in place and returns the remainder.
    std::uint32_t Divide(std::uint32_t divisor)
    {
        std::uint64_t remainder = 0;
        for (std::size_t i = limbs_.size(); i-- > 0;) {
            const std::uint64_t value = (remainder << 32U) | limbs_[i];
            limbs_[i] = static_cast<std::uint32_t>(value / divisor);
            remainder = value % divisor;
        }
        while (!limbs_.empty() && limbs_.back() == 0) {
            limbs_.pop_back();
        }
        return static_cast<std::uint32_t>(remainder);
    }

    [[nodiscard]] std::string Digits() const
    {
        BigNumber rest = *this;
        std::string digits;
        constexpr std::uint32_t chunk = 1000000000;
        while (!rest.limbs_.empty()) {
            std::uint32_t part = rest.Divide(chunk);
            for (int i = 0; i < 9; ++i) {
                digits.push_back(static_cast<char>('0' + part % 10));
                part /= 10;
            }
        }
        while (digits.size() > 1 && digits.back() == '0') {
            digits.pop_back();
        }
        std::reverse(digits.begin(), digits.end());
        return digits.empty() ? "0" : digits;
    }

    friend int Compare(const BigNumber& a, const BigNumber& b)
    {
        if (a.limbs_.size() != b.limbs_.size()) {
            return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
        }
        for (std::size_t i = a.limbs_.size(); i-- > 0;) {
            if (a.limbs_[i] != b.limbs_[i]) {
                return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
            }
        }
        return 0;
    }

private:
    // Least significant first, no zero limbs at the top.
    std::vector<std::uint32_t> limbs_;
};

// digits x 10^exponent, the digits without leading or trailing zeros (none at all for zero).
struct Decimal {
    std::string digits;
    int exponent = 0;
};

constexpr std::uint32_t kInfinityBits = 0x7f800000U;
constexpr std::uint32_t kSignBit = 0x80000000U;
constexpr unsigned kMantissaBits = 23;
constexpr std::uint32_t kMantissaMask = (1U << kMantissaBits) - 1;
constexpr int kSmallestExponent = -149;
constexpr int kExponentBias = 150;
// Exact midpoints between floats have at most 112 significant digits; digits beyond these only
// say whether the number is a little more than the ones kept.
constexpr std::size_t kKeptDigits = 800;

std::uint32_t BitsOf(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float FloatOf(std::uint32_t bits)
{
    float value = 0.0F;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// A positive float's value as mantissa x 2^exponent.
void Split(std::uint32_t bits, std::uint64_t& mantissa, int& exponent)
{
    const std::uint32_t field = bits >> kMantissaBits;
    mantissa = bits & kMantissaMask;
    exponent = kSmallestExponent;
    if (field != 0) {
        mantissa |= 1U << kMantissaBits;
        exponent = static_cast<int>(field) - kExponentBias;
    }
}

// The sign of decimal - mantissa x 2^exponent.
int Compare(const Decimal& decimal, std::uint64_t mantissa, int exponent)
{
    BigNumber left(0);
    for (const char digit : decimal.digits) {
        left.MultiplyAdd(10, static_cast<std::uint32_t>(digit - '0'));
    }
    BigNumber right(mantissa);
    const int tens = decimal.exponent;
    if (tens >= 0) {
        left.MultiplyByPowerOfFive(tens);
        left.ShiftLeft(tens);
    } else {
        right.MultiplyByPowerOfFive(-tens);
        right.ShiftLeft(-tens);
    }
    if (exponent >= 0) {
        right.ShiftLeft(exponent);
    } else {
        left.ShiftLeft(-exponent);
    }
    return Compare(left, right);
}

// The sign of decimal - the midpoint between the positive float `bits` and the next one up.
int CompareWithMidpoint(const Decimal& decimal, std::uint32_t bits)
{
    std::uint64_t mantissa = 0;
    int exponent = 0;
    Split(bits, mantissa, exponent);
    return Compare(decimal, 2 * mantissa + 1, exponent - 1);
}

// The nearest float's bits, halves to even, for a positive decimal: kInfinityBits when it is too
// large and 0 when it rounds to zero.
std::uint32_t Round(const Decimal& decimal)
{
    const int magnitude = static_cast<int>(decimal.digits.size()) + decimal.exponent;
    constexpr int tooLarge = 40;   // at least 1e39
    constexpr int tooSmall = -46;  // below 1e-46, less than half the smallest float
    if (magnitude >= tooLarge) {
        return kInfinityBits;
    }
    if (magnitude <= tooSmall) {
        return 0;
    }
    // A guess from the leading digits, within a few floats of the answer, then exact steps.
    constexpr std::size_t leading = 17;
    const std::size_t used = std::min(leading, decimal.digits.size());
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < used; ++i) {
        head = head * 10 + static_cast<std::uint64_t>(decimal.digits[i] - '0');
    }
    const double guess =
        static_cast<double>(head) * std::pow(10.0, decimal.exponent + static_cast<int>(decimal.digits.size() - used));
    std::uint32_t bits = guess >= static_cast<double>(std::numeric_limits<float>::max())
                             ? BitsOf(std::numeric_limits<float>::max())
                             : BitsOf(static_cast<float>(guess));
    while (true) {
        if (bits < kInfinityBits) {
            const int above = CompareWithMidpoint(decimal, bits);
            if (above > 0 || (above == 0 && (bits & 1U) != 0)) {
                ++bits;
                continue;
            }
        }
        if (bits > 0 && bits <= kInfinityBits) {
            const int below = CompareWithMidpoint(decimal, bits - 1);
            if (below < 0 || (below == 0 && (bits & 1U) != 0)) {
                --bits;
                continue;
            }
        }
        return bits;
    }
}

void StripTrailingZeros(Decimal& decimal)
{
    while (!decimal.digits.empty() && decimal.digits.back() == '0') {
        decimal.digits.pop_back();
        ++decimal.exponent;
    }
}

// One more in the last digit.
void Increment(std::string& digits)
{
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

// The positive finite float's exact value.
Decimal Exact(std::uint32_t bits)
{
    std::uint64_t mantissa = 0;
    int exponent = 0;
    Split(bits, mantissa, exponent);
    BigNumber number(mantissa);
    Decimal exact;
    if (exponent >= 0) {
        number.ShiftLeft(exponent);
    } else {
        number.MultiplyByPowerOfFive(-exponent);
        exact.exponent = exponent;
    }
    exact.digits = number.Digits();
    StripTrailingZeros(exact);
    return exact;
}

// The fewest digits that round back to the positive finite float, the nearest of those.
Decimal Shortest(std::uint32_t bits)
{
    Decimal exact = Exact(bits);
    const std::size_t length = exact.digits.size();
    for (std::size_t kept = 1; kept < length; ++kept) {
        Decimal nearer{exact.digits.substr(0, kept), exact.exponent + static_cast<int>(length - kept)};
        Decimal farther = nearer;
        const char next = exact.digits[kept];
        const bool moreAfter = exact.digits.find_first_not_of('0', kept + 1) != std::string::npos;
        const bool odd = ((nearer.digits.back() - '0') % 2) != 0;
        const bool up = next > '5' || (next == '5' && (moreAfter || odd));
        Increment(up ? nearer.digits : farther.digits);
        for (Decimal* candidate : {&nearer, &farther}) {
            StripTrailingZeros(*candidate);
            if (Round(*candidate) == bits) {
                return *candidate;
            }
        }
    }
    return exact;
}

std::string Format(std::uint32_t bits)
{
    const Decimal shortest = Shortest(bits);
    const int count = static_cast<int>(shortest.digits.size());
    const int exponent = shortest.exponent;
    const int scientificExponent = count - 1 + exponent;
    // d[.ddd]e+XX: a float's decimal exponent never needs three digits.
    const int scientificLength = count + (count > 1 ? 1 : 0) + 4;
    const int plainLength = exponent >= 0 ? count + exponent : (-exponent < count ? count + 1 : 2 - exponent);
    if (plainLength <= scientificLength) {
        if (exponent >= 0) {
            // A whole number: its exact digits, not the shortest ones followed by zeros.
            const Decimal exact = Exact(bits);
            return exact.digits + std::string(static_cast<std::size_t>(exact.exponent), '0');
        }
        if (-exponent < count) {
            std::string text = shortest.digits;
            const int point = count + exponent;
            text.insert(static_cast<std::size_t>(point), 1, '.');
            return text;
        }
        return "0." + std::string(static_cast<std::size_t>(-exponent - count), '0') + shortest.digits;
    }
    std::string text = shortest.digits.substr(0, 1);
    if (count > 1) {
        text += '.';
        text += shortest.digits.substr(1);
    }
    const int size = std::abs(scientificExponent);
    text += scientificExponent < 0 ? "e-" : "e+";
    text += static_cast<char>('0' + size / 10);
    text += static_cast<char>('0' + size % 10);
    return text;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether [first, last) starts with `word`, in any case.
bool StartsWith(const char* first, const char* last, std::string_view word)
{
    if (last - first < static_cast<std::ptrdiff_t>(word.size())) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (Lower(first[i]) != word[i]) {
            return false;
        }
    }
    return true;
}

bool IsNanCharacter(char c)
{
    return IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'z') || c == '_';
}

}  // namespace

std::to_chars_result FloatToChars(char* first, char* last, float value)
{
    const std::uint32_t bits = BitsOf(value);
    const std::uint32_t magnitude = bits & ~kSignBit;
    std::string text = (bits & kSignBit) != 0 ? "-" : "";
    if (magnitude > kInfinityBits) {
        text += "nan";
    } else if (magnitude == kInfinityBits) {
        text += "inf";
    } else if (magnitude == 0) {
        text += "0";
    } else {
        text += Format(magnitude);
    }
    if (last - first < static_cast<std::ptrdiff_t>(text.size())) {
        return {last, std::errc::value_too_large};
    }
    return {std::copy(text.begin(), text.end(), first), std::errc{}};
}

std::from_chars_result FloatFromChars(const char* first, const char* last, float& value)
{
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (negative) {
        ++p;
    }
    const float sign = negative ? -1.0F : 1.0F;
    if (StartsWith(p, last, "inf")) {
        p += StartsWith(p, last, "infinity") ? 8 : 3;
        value = sign * std::numeric_limits<float>::infinity();
        return {p, std::errc{}};
    }
    if (StartsWith(p, last, "nan")) {
        p += 3;
        if (p != last && *p == '(') {
            const char* close = std::find_if_not(p + 1, last, IsNanCharacter);
            if (close != last && *close == ')') {
                p = close + 1;
            }
        }
        value = std::copysign(std::numeric_limits<float>::quiet_NaN(), sign);
        return {p, std::errc{}};
    }

    Decimal decimal;
    std::int64_t exponent = 0;
    bool anyDigit = false;
    bool dropped = false;
    const auto take = [&](char digit, bool fraction) {
        anyDigit = true;
        if (fraction) {
            --exponent;
        }
        if (decimal.digits.empty() && digit == '0') {
            return;
        }
        if (decimal.digits.size() < kKeptDigits) {
            decimal.digits.push_back(digit);
        } else {
            ++exponent;
            dropped = dropped || digit != '0';
        }
    };
    for (; p != last && IsDigit(*p); ++p) {
        take(*p, false);
    }
    if (p != last && *p == '.') {
        const char* afterPoint = p + 1;
        if (anyDigit || (afterPoint != last && IsDigit(*afterPoint))) {
            for (p = afterPoint; p != last && IsDigit(*p); ++p) {
                take(*p, true);
            }
        }
    }
    if (!anyDigit) {
        return {first, std::errc::invalid_argument};
    }
    if (p != last && Lower(*p) == 'e') {
        const char* q = p + 1;
        const bool negativeExponent = q != last && *q == '-';
        if (q != last && (*q == '-' || *q == '+')) {
            ++q;
        }
        if (q != last && IsDigit(*q)) {
            std::int64_t written = 0;
            constexpr std::int64_t saturated = 1000000000;
            for (; q != last && IsDigit(*q); ++q) {
                written = std::min(saturated, written * 10 + (*q - '0'));
            }
            exponent += negativeExponent ? -written : written;
            p = q;
        }
    }
    if (dropped) {
        // Something more than the kept digits, less than one in the last of them.
        decimal.digits.push_back('1');
        --exponent;
    }
    if (decimal.digits.empty()) {
        value = sign * 0.0F;
        return {p, std::errc{}};
    }
    constexpr std::int64_t farOut = 100000;
    decimal.exponent = static_cast<int>(std::clamp(exponent, -farOut, farOut));
    StripTrailingZeros(decimal);
    const std::uint32_t bits = Round(decimal);
    if (bits == 0 || bits >= kInfinityBits) {
        return {p, std::errc::result_out_of_range};
    }
    value = sign * FloatOf(bits);
    return {p, std::errc{}};
}

}  // namespace lorvane
