#include "schemes/exact_lp.h"

#include <algorithm>
#include <limits>

namespace quillon {
namespace {

using Int = __int128;
constexpr Int kIntMin = static_cast<Int>(static_cast<unsigned __int128>(1) << 127);

// Results equal to the smallest value are refused too, so that negating never overflows.
bool Add(Int a, Int b, Int& out) {
  return !__builtin_add_overflow(a, b, &out) && out != kIntMin;
}
bool Mul(Int a, Int b, Int& out) {
  return !__builtin_mul_overflow(a, b, &out) && out != kIntMin;
}

Int Abs(Int a) {
  return a < 0 ? -a : a;
}

Int Gcd(Int a, Int b) {
  a = Abs(a);
  b = Abs(b);
  while (b != 0) {
    Int t = a % b;
    a = b;
    b = t;
  }
  return a;
}

}  // namespace

Rational Rational::Invalid() {
  Rational r;
  r.m_num = 0;
  r.m_den = 0;
  return r;
}

Rational Rational::Fraction(int64_t num, int64_t den) {
  if (den == 0)
    return Invalid();
  Rational r;
  Int n = num, d = den;
  if (d < 0) {
    n = -n;
    d = -d;
  }
  const Int g = Gcd(n, d);
  r.m_num = n / g;
  r.m_den = d / g;
  return r;
}

double Rational::ToDouble() const {
  if (!Valid())
    return std::numeric_limits<double>::quiet_NaN();
  return static_cast<double>(m_num) / static_cast<double>(m_den);
}

namespace {

std::string IntText(Int value) {
  if (value == 0)
    return "0";
  const bool negative = value < 0;
  unsigned __int128 magnitude = static_cast<unsigned __int128>(Abs(value));
  std::string digits;
  while (magnitude != 0) {
    digits.push_back(static_cast<char>('0' + static_cast<int>(magnitude % 10)));
    magnitude /= 10;
  }
  if (negative)
    digits.push_back('-');
  std::reverse(digits.begin(), digits.end());
  return digits;
}

}  // namespace

std::string Rational::ToString() const {
  if (!Valid())
    return "invalid";
  if (m_den == 1)
    return IntText(m_num);
  return IntText(m_num) + "/" + IntText(m_den);
}

Rational operator+(const Rational& a, const Rational& b) {
  if (!a.Valid() || !b.Valid())
    return Rational::Invalid();
  const Int g = Gcd(a.m_den, b.m_den);
  Int left, right, num, den;
  if (!Mul(a.m_num, b.m_den / g, left) || !Mul(b.m_num, a.m_den / g, right) ||
      !Add(left, right, num) || !Mul(a.m_den / g, b.m_den, den)) {
    return Rational::Invalid();
  }
  const Int h = Gcd(num, den);
  Rational r;
  r.m_num = num / h;
  r.m_den = den / h;
  return r;
}

Rational Rational::operator-() const {
  Rational r = *this;
  r.m_num = -r.m_num;
  return r;
}

Rational operator-(const Rational& a, const Rational& b) {
  return a + (-b);
}

Rational operator*(const Rational& a, const Rational& b) {
  if (!a.Valid() || !b.Valid())
    return Rational::Invalid();
  if (a.m_num == 0 || b.m_num == 0)
    return Rational(0);
  // Cross-reduce first, so that the products stay as small as the result.
  const Int g1 = Gcd(a.m_num, b.m_den);
  const Int g2 = Gcd(b.m_num, a.m_den);
  Rational r;
  if (!Mul(a.m_num / g1, b.m_num / g2, r.m_num) || !Mul(a.m_den / g2, b.m_den / g1, r.m_den))
    return Rational::Invalid();
  return r;
}

Rational operator/(const Rational& a, const Rational& b) {
  if (!b.Valid() || b.m_num == 0)
    return Rational::Invalid();
  Rational inverse;
  inverse.m_num = b.m_num < 0 ? -b.m_den : b.m_den;
  inverse.m_den = Abs(b.m_num);
  return a * inverse;
}

bool operator==(const Rational& a, const Rational& b) {
  return a.Valid() && b.Valid() && a.m_num == b.m_num && a.m_den == b.m_den;
}

bool operator<(const Rational& a, const Rational& b) {
  const Rational d = a - b;
  return d.Valid() && d.Sign() < 0;
}

std::optional<__int128> CommonDenominator(const std::vector<Rational>& values) {
  Int lcm = 1;
  for (const Rational& v : values) {
    if (!v.Valid())
      return std::nullopt;
    if (!Mul(lcm / Gcd(lcm, v.Den()), v.Den(), lcm))
      return std::nullopt;
  }
  return lcm;
}

namespace {

// The simplex tableau: row i says x[basis[i]] + sum of t[i][j] x[j] (j non-basic) = rhs[i].
class Tableau {
 public:
  Tableau(std::vector<std::vector<Rational>> t, std::vector<Rational> rhs, std::vector<int> basis)
      : m_t(std::move(t)), m_rhs(std::move(rhs)), m_basis(std::move(basis)) {}

  // Maximizes cost.x over the columns allowed; answers Optimal, Unbounded or Overflow.
  LpStatus Maximize(const std::vector<Rational>& cost, const std::vector<bool>& allowed) {
    while (true) {
      std::vector<Rational> reduced = Reduced(cost);
      if (!AllValid(reduced))
        return LpStatus::Overflow;
      // Bland: the lowest entering column, then the lowest leaving basic variable.
      int enter = -1;
      for (size_t j = 0; j < reduced.size() && enter < 0; ++j) {
        if (allowed[j] && reduced[j].Sign() > 0)
          enter = static_cast<int>(j);
      }
      if (enter < 0)
        return LpStatus::Optimal;
      int leave = -1;
      Rational best;
      for (size_t i = 0; i < m_t.size(); ++i) {
        if (m_t[i][enter].Sign() <= 0)
          continue;
        const Rational ratio = m_rhs[i] / m_t[i][enter];
        if (!ratio.Valid())
          return LpStatus::Overflow;
        if (leave < 0 || ratio < best || (ratio == best && m_basis[i] < m_basis[leave])) {
          leave = static_cast<int>(i);
          best = ratio;
        }
      }
      if (leave < 0)
        return LpStatus::Unbounded;
      if (!Pivot(leave, enter))
        return LpStatus::Overflow;
    }
  }

  // cost_j - sum_i cost[basis[i]] t[i][j].
  std::vector<Rational> Reduced(const std::vector<Rational>& cost) const {
    std::vector<Rational> reduced = cost;
    for (size_t i = 0; i < m_t.size(); ++i) {
      const Rational& cb = cost[m_basis[i]];
      if (cb.IsZero())
        continue;
      for (size_t j = 0; j < reduced.size(); ++j)
        reduced[j] = reduced[j] - cb * m_t[i][j];
    }
    return reduced;
  }

  Rational Value(const std::vector<Rational>& cost) const {
    Rational value(0);
    for (size_t i = 0; i < m_t.size(); ++i)
      value = value + cost[m_basis[i]] * m_rhs[i];
    return value;
  }

  bool Pivot(int row, int col) {
    const Rational p = m_t[row][col];
    for (Rational& e : m_t[row])
      e = e / p;
    m_rhs[row] = m_rhs[row] / p;
    for (size_t i = 0; i < m_t.size(); ++i) {
      if (static_cast<int>(i) == row || m_t[i][col].IsZero())
        continue;
      const Rational f = m_t[i][col];
      for (size_t j = 0; j < m_t[i].size(); ++j)
        m_t[i][j] = m_t[i][j] - f * m_t[row][j];
      m_rhs[i] = m_rhs[i] - f * m_rhs[row];
    }
    m_basis[row] = col;
    return AllValid(m_rhs) && std::all_of(m_t.begin(), m_t.end(), AllValid);
  }

  void RemoveRow(size_t row) {
    m_t.erase(m_t.begin() + static_cast<std::ptrdiff_t>(row));
    m_rhs.erase(m_rhs.begin() + static_cast<std::ptrdiff_t>(row));
    m_basis.erase(m_basis.begin() + static_cast<std::ptrdiff_t>(row));
  }

  static bool AllValid(const std::vector<Rational>& v) {
    return std::all_of(v.begin(), v.end(), [](const Rational& r) { return r.Valid(); });
  }

  std::vector<std::vector<Rational>>& T() { return m_t; }
  std::vector<Rational>& Rhs() { return m_rhs; }
  std::vector<int>& Basis() { return m_basis; }

 private:
  std::vector<std::vector<Rational>> m_t;
  std::vector<Rational> m_rhs;
  std::vector<int> m_basis;
};

}  // namespace

LpSolution SolveLinearProgram(const LinearProgram& program) {
  LpSolution solution;
  const size_t rows = program.a.size();
  const size_t vars = program.c.size();
  if (program.b.size() != rows)
    return solution;
  for (const auto& row : program.a) {
    if (row.size() != vars)
      return solution;
  }

  // Phase 1: one artificial variable per row (after making every right side >= 0); their
  // sum is driven to zero if the program is feasible at all.
  const size_t total = vars + rows;
  std::vector<std::vector<Rational>> t(rows, std::vector<Rational>(total, Rational(0)));
  std::vector<Rational> rhs(rows);
  std::vector<int> basis(rows);
  for (size_t i = 0; i < rows; ++i) {
    const bool flip = program.b[i].Sign() < 0;
    for (size_t j = 0; j < vars; ++j)
      t[i][j] = flip ? -program.a[i][j] : program.a[i][j];
    rhs[i] = flip ? -program.b[i] : program.b[i];
    t[i][vars + i] = Rational(1);
    basis[i] = static_cast<int>(vars + i);
  }
  Tableau tableau(std::move(t), std::move(rhs), std::move(basis));
  std::vector<Rational> phase1(total, Rational(0));
  for (size_t j = vars; j < total; ++j)
    phase1[j] = Rational(-1);
  std::vector<bool> all(total, true);
  if (LpStatus s = tableau.Maximize(phase1, all); s != LpStatus::Optimal) {
    solution.status = s;
    return solution;
  }
  const Rational infeasibility = tableau.Value(phase1);
  if (!infeasibility.Valid()) {
    solution.status = LpStatus::Overflow;
    return solution;
  }
  if (!infeasibility.IsZero())
    return solution;  // Infeasible

  // Artificials left in the basis stand at zero: pivot them out, or drop their row when
  // no original column can replace them (the row was redundant).
  for (size_t i = tableau.T().size(); i-- > 0;) {
    if (tableau.Basis()[i] < static_cast<int>(vars))
      continue;
    int col = -1;
    for (size_t j = 0; j < vars && col < 0; ++j) {
      if (!tableau.T()[i][j].IsZero())
        col = static_cast<int>(j);
    }
    if (col < 0) {
      tableau.RemoveRow(i);
    } else if (!tableau.Pivot(static_cast<int>(i), col)) {
      solution.status = LpStatus::Overflow;
      return solution;
    }
  }

  // Phase 2 over the original columns only.
  std::vector<Rational> cost(total, Rational(0));
  std::copy(program.c.begin(), program.c.end(), cost.begin());
  std::vector<bool> original(total, false);
  std::fill(original.begin(), original.begin() + static_cast<std::ptrdiff_t>(vars), true);
  if (LpStatus s = tableau.Maximize(cost, original); s != LpStatus::Optimal) {
    solution.status = s;
    return solution;
  }
  solution.value = tableau.Value(cost);
  std::vector<Rational> reduced = tableau.Reduced(cost);
  solution.reduced.assign(reduced.begin(), reduced.begin() + static_cast<std::ptrdiff_t>(vars));
  solution.x.assign(vars, Rational(0));
  for (size_t i = 0; i < tableau.T().size(); ++i)
    solution.x[tableau.Basis()[i]] = tableau.Rhs()[i];
  for (size_t i = 0; i < tableau.T().size(); ++i) {
    const auto& row = tableau.T()[i];
    solution.rows.emplace_back(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(vars));
  }
  solution.rhs = tableau.Rhs();
  solution.status = solution.value.Valid() && Tableau::AllValid(solution.x) ? LpStatus::Optimal
                                                                            : LpStatus::Overflow;
  return solution;
}

std::optional<std::vector<Rational>> SolveSquareSystem(std::vector<std::vector<Rational>> a,
                                                       std::vector<Rational> b) {
  const size_t n = a.size();
  if (b.size() != n)
    return std::nullopt;
  for (const auto& row : a) {
    if (row.size() != n)
      return std::nullopt;
  }
  for (size_t col = 0; col < n; ++col) {
    size_t pivot = col;
    while (pivot < n && a[pivot][col].IsZero())
      ++pivot;
    if (pivot == n)
      return std::nullopt;
    std::swap(a[pivot], a[col]);
    std::swap(b[pivot], b[col]);
    for (size_t i = 0; i < n; ++i) {
      if (i == col || a[i][col].IsZero())
        continue;
      const Rational f = a[i][col] / a[col][col];
      for (size_t j = col; j < n; ++j)
        a[i][j] = a[i][j] - f * a[col][j];
      b[i] = b[i] - f * b[col];
    }
  }
  std::vector<Rational> x(n);
  for (size_t i = 0; i < n; ++i) {
    x[i] = b[i] / a[i][i];
    if (!x[i].Valid())
      return std::nullopt;
  }
  return x;
}

}  // namespace quillon
