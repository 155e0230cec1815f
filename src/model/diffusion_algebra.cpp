// The integrator's vector and band operations, compiled with the kernel (see the header).
#include "model/diffusion_algebra.h"

#include <sundials/sundials_math.h>
#include <sunlinsol/sunlinsol_band.h>
#include <sunmatrix/sunmatrix_band.h>

#include <algorithm>
#include <cmath>

namespace tovimar::diffusion {

namespace {

// ---- vectors ----

struct View {
  sunindextype n;
  double* d;
};

View Of(N_Vector v) { return {NV_LENGTH_S(v), NV_DATA_S(v)}; }

// y <- a x + y, with a = 1 and a = -1 as additions and subtractions.
void Axpy(double a, N_Vector xv, N_Vector yv) {
  const auto [n, x] = Of(xv);
  double* y = NV_DATA_S(yv);
  if (a == 1) {
    for (sunindextype i = 0; i < n; ++i) y[i] += x[i];
  } else if (a == -1) {
    for (sunindextype i = 0; i < n; ++i) y[i] -= x[i];
  } else {
    for (sunindextype i = 0; i < n; ++i) y[i] += a * x[i];
  }
}

// Applies `f(x_i, y_i)` into z.
template <class F>
void Pairwise(N_Vector xv, N_Vector yv, N_Vector zv, F f) {
  const auto [n, x] = Of(xv);
  const double* y = NV_DATA_S(yv);
  double* z = NV_DATA_S(zv);
  for (sunindextype i = 0; i < n; ++i) z[i] = f(x[i], y[i]);
}

template <class F>
void Each(N_Vector xv, N_Vector zv, F f) {
  const auto [n, x] = Of(xv);
  double* z = NV_DATA_S(zv);
  for (sunindextype i = 0; i < n; ++i) z[i] = f(x[i]);
}

// z = a x + b y, its special cases formed as the library forms them.
void LinearSum(double a, N_Vector x, double b, N_Vector y, N_Vector z) {
  if (b == 1 && z == y) return Axpy(a, x, y);
  if (a == 1 && z == x) return Axpy(b, y, x);
  if (a == 1 && b == 1) return Pairwise(x, y, z, [](double p, double q) { return p + q; });
  if (a == 1 && b == -1) return Pairwise(x, y, z, [](double p, double q) { return p - q; });
  if (a == -1 && b == 1) return Pairwise(y, x, z, [](double p, double q) { return p - q; });
  if (a == 1 || b == 1) {  // c v1 + v2, v2 the vector whose factor is 1
    const double c = a == 1 ? b : a;
    return a == 1 ? Pairwise(y, x, z, [c](double p, double q) { return c * p + q; })
                  : Pairwise(x, y, z, [c](double p, double q) { return c * p + q; });
  }
  if (a == -1 || b == -1) {  // c v1 - v2, v2 the vector whose factor is -1
    const double c = a == -1 ? b : a;
    return a == -1 ? Pairwise(y, x, z, [c](double p, double q) { return c * p - q; })
                   : Pairwise(x, y, z, [c](double p, double q) { return c * p - q; });
  }
  if (a == b) return Pairwise(x, y, z, [a](double p, double q) { return a * (p + q); });
  if (a == -b) return Pairwise(x, y, z, [a](double p, double q) { return a * (p - q); });
  Pairwise(x, y, z, [a, b](double p, double q) { return a * p + b * q; });
}

void Const(double c, N_Vector zv) {
  const auto [n, z] = Of(zv);
  std::fill(z, z + n, c);
}

void Prod(N_Vector x, N_Vector y, N_Vector z) { Pairwise(x, y, z, [](double p, double q) { return p * q; }); }
void Div(N_Vector x, N_Vector y, N_Vector z) { Pairwise(x, y, z, [](double p, double q) { return p / q; }); }
void Abs(N_Vector x, N_Vector z) { Each(x, z, [](double p) { return std::abs(p); }); }
void Inv(N_Vector x, N_Vector z) { Each(x, z, [](double p) { return 1 / p; }); }
void AddConst(N_Vector x, double b, N_Vector z) { Each(x, z, [b](double p) { return p + b; }); }

void Scale(double c, N_Vector xv, N_Vector zv) {
  if (zv == xv) {
    const auto [n, x] = Of(xv);
    for (sunindextype i = 0; i < n; ++i) x[i] *= c;
  } else if (c == 1) {
    const auto [n, x] = Of(xv);
    std::copy(x, x + n, NV_DATA_S(zv));
  } else if (c == -1) {
    Each(xv, zv, [](double p) { return -p; });
  } else {
    Each(xv, zv, [c](double p) { return c * p; });
  }
}

double DotProd(N_Vector xv, N_Vector yv) {
  const auto [n, x] = Of(xv);
  const double* y = NV_DATA_S(yv);
  double sum = 0;
  for (sunindextype i = 0; i < n; ++i) sum += x[i] * y[i];
  return sum;
}

double MaxNorm(N_Vector xv) {
  const auto [n, x] = Of(xv);
  double largest = 0;
  for (sunindextype i = 0; i < n; ++i) {
    if (std::abs(x[i]) > largest) largest = std::abs(x[i]);
  }
  return largest;
}

double WrmsNorm(N_Vector xv, N_Vector wv) {
  const auto [n, x] = Of(xv);
  const double* w = NV_DATA_S(wv);
  double sum = 0;
  for (sunindextype i = 0; i < n; ++i) {
    const double p = x[i] * w[i];
    sum += p * p;
  }
  return SUNRsqrt(sum / static_cast<double>(n));
}

double WrmsNormMask(N_Vector xv, N_Vector wv, N_Vector idv) {
  const auto [n, x] = Of(xv);
  const double* w = NV_DATA_S(wv);
  const double* id = NV_DATA_S(idv);
  double sum = 0;
  for (sunindextype i = 0; i < n; ++i) {
    if (id[i] > 0) {
      const double p = x[i] * w[i];
      sum += p * p;
    }
  }
  return SUNRsqrt(sum / static_cast<double>(n));
}

double Min(N_Vector xv) {
  const auto [n, x] = Of(xv);
  double least = x[0];
  for (sunindextype i = 1; i < n; ++i) {
    if (x[i] < least) least = x[i];
  }
  return least;
}

void Compare(double c, N_Vector x, N_Vector z) {
  Each(x, z, [c](double p) { return std::abs(p) >= c ? 1.0 : 0.0; });
}

booleantype InvTest(N_Vector xv, N_Vector zv) {
  const auto [n, x] = Of(xv);
  double* z = NV_DATA_S(zv);
  booleantype noZero = SUNTRUE;
  for (sunindextype i = 0; i < n; ++i) {
    if (x[i] == 0) {
      noZero = SUNFALSE;
    } else {
      z[i] = 1 / x[i];
    }
  }
  return noZero;
}

// ---- band matrix and its LU ----

int Zero(SUNMatrix A) {
  std::fill(SM_DATA_B(A), SM_DATA_B(A) + SM_LDATA_B(A), 0.0);
  return 0;
}

// A = c A + I over the band.
int ScaleAddIdentity(double c, SUNMatrix A) {
  const sunindextype mu = SM_UBAND_B(A);
  const sunindextype ml = SM_LBAND_B(A);
  for (sunindextype j = 0; j < SM_COLUMNS_B(A); ++j) {
    double* column = SM_COLUMN_B(A, j);
    for (sunindextype i = -mu; i <= ml; ++i) column[i] *= c;
    column[0] += 1;
  }
  return 0;
}

// The LU factorisation of the band matrix in columns `a` (storage upper bandwidth smu, room
// for the fill-in of the row exchanges) with partial pivoting: the multipliers below the
// diagonal, the pivot rows in p. Returns 0, or k + 1 when the k-th pivot is 0.
sunindextype Factor(double** a, sunindextype n, sunindextype mu, sunindextype ml, sunindextype smu,
                    sunindextype* p) {
  for (sunindextype c = 0; c < n; ++c) std::fill(a[c], a[c] + (smu - mu), 0.0);
  for (sunindextype k = 0; k < n - 1; ++k) {
    double* diagonal = a[k] + smu;  // row k + r of column k at diagonal[r]
    const sunindextype lastRow = std::min(n - 1, k + ml);
    sunindextype l = k;
    double largest = std::abs(diagonal[0]);
    for (sunindextype i = k + 1; i <= lastRow; ++i) {
      if (std::abs(diagonal[i - k]) > largest) {
        l = i;
        largest = std::abs(diagonal[i - k]);
      }
    }
    p[k] = l;
    if (diagonal[l - k] == 0) return k + 1;
    const bool swap = l != k;
    if (swap) std::swap(diagonal[l - k], diagonal[0]);
    const double multiplier = -1 / diagonal[0];
    for (sunindextype i = k + 1; i <= lastRow; ++i) diagonal[i - k] *= multiplier;
    const sunindextype lastColumn = std::min(k + smu, n - 1);
    for (sunindextype j = k + 1; j <= lastColumn; ++j) {
      double* column = a[j] + smu;  // row i of column j at column[i - j]
      const double akj = column[l - j];
      if (swap) {
        column[l - j] = column[k - j];
        column[k - j] = akj;
      }
      if (akj != 0) {
        for (sunindextype i = k + 1; i <= lastRow; ++i) column[i - j] += akj * diagonal[i - k];
      }
    }
  }
  p[n - 1] = n - 1;
  return a[n - 1][smu] == 0 ? n : 0;
}

// Solves with the factors of Factor: b becomes the solution.
void SolveFactored(double** a, sunindextype n, sunindextype smu, sunindextype ml,
                   const sunindextype* p, double* b) {
  for (sunindextype k = 0; k < n - 1; ++k) {
    const sunindextype l = p[k];
    const double m = b[l];
    if (l != k) {
      b[l] = b[k];
      b[k] = m;
    }
    const double* diagonal = a[k] + smu;
    const sunindextype lastRow = std::min(n - 1, k + ml);
    for (sunindextype i = k + 1; i <= lastRow; ++i) b[i] += m * diagonal[i - k];
  }
  for (sunindextype k = n - 1; k >= 0; --k) {
    const double* diagonal = a[k] + smu;
    const sunindextype firstRow = std::max<sunindextype>(0, k - smu);
    b[k] /= diagonal[0];
    const double m = -b[k];
    for (sunindextype i = firstRow; i <= k - 1; ++i) b[i] += m * diagonal[i - k];
  }
}

SUNLinearSolverContent_Band Content(SUNLinearSolver S) {
  return static_cast<SUNLinearSolverContent_Band>(S->content);
}

int Setup(SUNLinearSolver S, SUNMatrix A) {
  const sunindextype flag = Factor(SM_COLS_B(A), SM_COLUMNS_B(A), SM_UBAND_B(A), SM_LBAND_B(A),
                                   SM_SUBAND_B(A), Content(S)->pivots);
  Content(S)->last_flag = flag;
  return flag > 0 ? SUNLS_LUFACT_FAIL : SUNLS_SUCCESS;
}

int Solve(SUNLinearSolver S, SUNMatrix A, N_Vector x, N_Vector b, double) {
  Scale(1, b, x);
  SolveFactored(SM_COLS_B(A), SM_COLUMNS_B(A), SM_SUBAND_B(A), SM_LBAND_B(A), Content(S)->pivots,
                NV_DATA_S(x));
  Content(S)->last_flag = SUNLS_SUCCESS;
  return SUNLS_SUCCESS;
}

}  // namespace

void UseCompiledVectorOperations(N_Vector v) {
  N_Vector_Ops ops = v->ops;
  ops->nvlinearsum = LinearSum;
  ops->nvconst = Const;
  ops->nvprod = Prod;
  ops->nvdiv = Div;
  ops->nvscale = Scale;
  ops->nvabs = Abs;
  ops->nvinv = Inv;
  ops->nvaddconst = AddConst;
  ops->nvdotprod = DotProd;
  ops->nvmaxnorm = MaxNorm;
  ops->nvwrmsnorm = WrmsNorm;
  ops->nvwrmsnormmask = WrmsNormMask;
  ops->nvmin = Min;
  ops->nvcompare = Compare;
  ops->nvinvtest = InvTest;
}

void UseCompiledBandOperations(SUNMatrix matrix, SUNLinearSolver solver) {
  matrix->ops->zero = Zero;
  matrix->ops->scaleaddi = ScaleAddIdentity;
  solver->ops->setup = Setup;
  solver->ops->solve = Solve;
}

}  // namespace tovimar::diffusion
