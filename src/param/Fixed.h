#pragma once
// Fixed-point decimal used for every parameter and signal quantity: a signed 64-bit integer
// holding the value times 10000 (four decimal places).
//
// Rounding rules used throughout the parameter model:
//   Round          to nearest, ties to even (12.5 -> 12, 13.5 -> 14)
//   Trunc          drop the fraction (toward zero)
//   RoundHalfAway  integer part plus integer part of twice the fraction (2.5 -> 3, -2.5 -> -3)
// Products and quotients of fixed-point values are rounded to four decimals with Round.

#include <compare>
#include <cstdint>

namespace rv8::param {

namespace detail {
__extension__ typedef __int128 Int128;  // exact intermediate for products and quotients
}

class Fixed {
public:
  static constexpr std::int64_t kScale = 10000;

  constexpr Fixed() = default;

  // The raw scaled integer (value x 10000).
  static constexpr Fixed FromRaw(std::int64_t raw) { Fixed f; f.m_raw = raw; return f; }
  // A whole number.
  static constexpr Fixed FromInt(std::int64_t whole) { return FromRaw(whole * kScale); }
  // A floating value, rounded to four decimals with ties to even. Usable in constant
  // expressions (catalogue tables); non-finite input gives 0.
  static constexpr Fixed FromDouble(double value) { return FromRaw(RoundDoubleTiesEven(value * kScale)); }

  constexpr std::int64_t Raw() const { return m_raw; }
  constexpr double ToDouble() const { return static_cast<double>(m_raw) / kScale; }

  // Whole-number parts under the three rounding rules.
  constexpr std::int64_t Trunc() const { return m_raw / kScale; }
  constexpr std::int64_t Round() const {
    std::int64_t q = m_raw / kScale;
    std::int64_t r = m_raw % kScale;  // same sign as m_raw
    std::int64_t twice = 2 * (r < 0 ? -r : r);
    if (twice > kScale || (twice == kScale && (q % 2 != 0))) q += (m_raw < 0 ? -1 : 1);
    return q;
  }
  constexpr std::int64_t RoundHalfAway() const {
    std::int64_t q = m_raw / kScale;
    std::int64_t r = m_raw % kScale;
    return q + (2 * r) / kScale;
  }
  // Fraction-free value (the whole number as Fixed) under each rule.
  constexpr Fixed Truncated() const { return FromInt(Trunc()); }
  constexpr Fixed Rounded() const { return FromInt(Round()); }

  constexpr bool IsZero() const { return m_raw == 0; }
  constexpr Fixed Abs() const { return FromRaw(m_raw < 0 ? -m_raw : m_raw); }

  constexpr auto operator<=>(const Fixed&) const = default;
  constexpr bool operator==(const Fixed&) const = default;

  constexpr Fixed operator-() const { return FromRaw(-m_raw); }
  constexpr Fixed operator+(Fixed o) const { return FromRaw(m_raw + o.m_raw); }
  constexpr Fixed operator-(Fixed o) const { return FromRaw(m_raw - o.m_raw); }
  constexpr Fixed& operator+=(Fixed o) { m_raw += o.m_raw; return *this; }
  constexpr Fixed& operator-=(Fixed o) { m_raw -= o.m_raw; return *this; }

  // Product rounded to four decimals, ties to even.
  constexpr Fixed operator*(Fixed o) const {
    return FromRaw(DivideTiesEven(static_cast<detail::Int128>(m_raw) * o.m_raw, kScale));
  }
  // Quotient rounded to four decimals, ties to even. Division by zero gives 0: callers
  // that can meet a zero divisor check for it first, as the value rules require.
  constexpr Fixed operator/(Fixed o) const {
    if (o.m_raw == 0) return Fixed();
    return FromRaw(DivideTiesEven(static_cast<detail::Int128>(m_raw) * kScale, o.m_raw));
  }
  constexpr Fixed operator*(std::int64_t k) const { return FromRaw(m_raw * k); }

  // Round-to-nearest, ties-to-even of a double to an integer, usable in constant expressions.
  static constexpr std::int64_t RoundDoubleTiesEven(double v) {
    if (!(v == v) || v > 9.2e18 || v < -9.2e18) return 0;
    bool neg = v < 0;
    double a = neg ? -v : v;
    auto i = static_cast<std::int64_t>(a);
    double frac = a - static_cast<double>(i);
    if (frac > 0.5 || (frac == 0.5 && (i % 2 != 0))) ++i;
    return neg ? -i : i;
  }

private:
  static constexpr std::int64_t DivideTiesEven(detail::Int128 n, detail::Int128 d) {
    if (d < 0) { n = -n; d = -d; }
    detail::Int128 q = n / d;
    detail::Int128 r = n % d;
    detail::Int128 twice = 2 * (r < 0 ? -r : r);
    if (twice > d || (twice == d && (q % 2 != 0))) q += (n < 0 ? -1 : 1);
    return static_cast<std::int64_t>(q);
  }

  std::int64_t m_raw = 0;
};

// Shorthands for tables and tests: Fx(150) is 150.0, Fx(0.8) is 0.8.
constexpr Fixed Fx(int whole) { return Fixed::FromInt(whole); }
constexpr Fixed Fx(long long whole) { return Fixed::FromInt(whole); }
constexpr Fixed Fx(double value) { return Fixed::FromDouble(value); }

// Round to nearest with ties to even, of a floating value, to a whole number.
constexpr std::int64_t RoundTiesEven(double v) { return Fixed::RoundDoubleTiesEven(v); }

}  // namespace rv8::param
