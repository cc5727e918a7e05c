// Exact linear programming for the scheme analysis: a rational number held in 128 bits and a
// small two-phase simplex over it. The programs solved here have a few dozen variables and
// small integer coefficients, so exact arithmetic is cheap and every answer is a fraction
// that can be compared with == rather than with a tolerance. Values and functions hold no
// shared state: safe to use from any number of threads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

// A fraction num/den in lowest terms, den > 0. An operation whose exact result does not fit
// in 128 bits, and a division by zero, give an invalid value; every operation on an invalid
// value is invalid again, so a computation needs checking only at its end. Comparisons with
// an invalid operand answer false.
class Rational {
 public:
  Rational() = default;
  Rational(int64_t value) : m_num(value) {}  // NOLINT: integers convert implicitly
  // num/den reduced; invalid when den is 0.
  static Rational Fraction(int64_t num, int64_t den);
  static Rational Invalid();

  bool Valid() const { return m_den != 0; }
  __int128 Num() const { return m_num; }
  __int128 Den() const { return m_den; }
  int Sign() const { return m_num > 0 ? 1 : (m_num < 0 ? -1 : 0); }
  bool IsZero() const { return Valid() && m_num == 0; }
  double ToDouble() const;
  // "p/q", or "p" for a whole number; "invalid" for an invalid value.
  std::string ToString() const;

  friend Rational operator+(const Rational& a, const Rational& b);
  friend Rational operator-(const Rational& a, const Rational& b);
  friend Rational operator*(const Rational& a, const Rational& b);
  friend Rational operator/(const Rational& a, const Rational& b);
  Rational operator-() const;
  friend bool operator==(const Rational& a, const Rational& b);
  friend bool operator<(const Rational& a, const Rational& b);
  friend bool operator>(const Rational& a, const Rational& b) { return b < a; }

 private:
  __int128 m_num = 0;
  __int128 m_den = 1;
};

// The least common multiple of the denominators; nullopt on overflow or an invalid value.
std::optional<__int128> CommonDenominator(const std::vector<Rational>& values);

// maximize c.x subject to a x = b and x >= 0; a has one row per constraint, each of
// c.size() entries.
struct LinearProgram {
  std::vector<std::vector<Rational>> a;
  std::vector<Rational> b;
  std::vector<Rational> c;
};

enum class LpStatus { Optimal, Infeasible, Unbounded, Overflow };

struct LpSolution {
  LpStatus status = LpStatus::Infeasible;
  Rational value;                 // the optimum
  std::vector<Rational> x;        // an optimal vertex
  std::vector<Rational> reduced;  // reduced costs at that vertex, all <= 0
  // The constraints rewritten without redundant rows (each row solved for one basic
  // variable): the same solutions as a x = b, with full row rank.
  std::vector<std::vector<Rational>> rows;
  std::vector<Rational> rhs;
};

// Two-phase simplex with Bland's rule, so it cannot cycle. Pure function; a malformed
// program (rows of the wrong length) gives Infeasible.
LpSolution SolveLinearProgram(const LinearProgram& program);

// Solves the square system a x = b exactly; nullopt when a is singular or on overflow.
std::optional<std::vector<Rational>> SolveSquareSystem(std::vector<std::vector<Rational>> a,
                                                       std::vector<Rational> b);

}  // namespace quillon
