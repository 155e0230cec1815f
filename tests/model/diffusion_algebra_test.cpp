// The compiled vector and band operations against the SUNDIALS library's own: the same bits.
#include <gtest/gtest.h>

#include <sunlinsol/sunlinsol_band.h>
#include <sunmatrix/sunmatrix_band.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "model/diffusion_algebra.h"

namespace tovimar::diffusion {
namespace {

constexpr sunindextype Size = 23;

struct Vectors {
  SUNContext context = nullptr;
  N_Vector library[4] = {};  // the library's operations
  N_Vector compiled[4] = {};
  Vectors() {
    SUNContext_Create(nullptr, &context);
    N_Vector compiledTemplate = N_VNew_Serial(Size, context);
    UseCompiledVectorOperations(compiledTemplate);
    for (int v = 0; v < 4; ++v) {
      library[v] = N_VNew_Serial(Size, context);
      compiled[v] = N_VClone(compiledTemplate);  // a clone takes the template's operations
      for (sunindextype i = 0; i < Size; ++i) {
        const double x = std::sin(1.7 * (i + 1) * (v + 1)) * std::pow(10.0, (i % 7) - 3);
        NV_Ith_S(library[v], i) = NV_Ith_S(compiled[v], i) = (v == 3 && i % 5 == 0) ? 0.0 : x;
      }
    }
    N_VDestroy(compiledTemplate);
  }
  ~Vectors() {
    for (int v = 0; v < 4; ++v) {
      N_VDestroy(library[v]);
      N_VDestroy(compiled[v]);
    }
    SUNContext_Free(&context);
  }
  void ExpectSameBits(int v) const {
    EXPECT_EQ(std::memcmp(NV_DATA_S(library[v]), NV_DATA_S(compiled[v]), Size * sizeof(double)), 0)
        << "vector " << v;
  }
};

TEST(DiffusionAlgebra, LinearSumsAreTheLibrarysBitForBit) {
  // Every case the library tells apart: factors 1, -1, equal, opposite, other, and the result
  // written over either operand or into a third vector.
  const double factors[] = {1, -1, 0.3, -0.3, 2.5, 0};
  for (const double a : factors) {
    for (const double b : factors) {
      for (const int into : {0, 1, 2}) {
        Vectors v;
        N_VLinearSum(a, v.library[0], b, v.library[1], v.library[into]);
        N_VLinearSum(a, v.compiled[0], b, v.compiled[1], v.compiled[into]);
        SCOPED_TRACE(testing::Message() << "a " << a << " b " << b << " into " << into);
        v.ExpectSameBits(into);
      }
    }
  }
}

TEST(DiffusionAlgebra, ElementwiseOperationsAndNormsAreTheLibrarys) {
  using Op = void (*)(N_Vector*);  // on vectors 0 to 3, the result in vector 2 (or 1)
  const std::pair<Op, int> ops[] = {
      {[](N_Vector* x) { N_VScale(0.7, x[0], x[2]); }, 2}, {[](N_Vector* x) { N_VScale(-1, x[0], x[2]); }, 2},
      {[](N_Vector* x) { N_VScale(1, x[0], x[2]); }, 2},   {[](N_Vector* x) { N_VScale(0.7, x[1], x[1]); }, 1},
      {[](N_Vector* x) { N_VProd(x[0], x[1], x[2]); }, 2}, {[](N_Vector* x) { N_VDiv(x[0], x[1], x[2]); }, 2},
      {[](N_Vector* x) { N_VAbs(x[0], x[2]); }, 2},        {[](N_Vector* x) { N_VInv(x[0], x[2]); }, 2},
      {[](N_Vector* x) { N_VAddConst(x[0], 0.25, x[2]); }, 2},
      {[](N_Vector* x) { N_VCompare(0.01, x[0], x[2]); }, 2},
      {[](N_Vector* x) { N_VConst(-3.5, x[2]); }, 2},
      {[](N_Vector* x) { EXPECT_EQ(N_VInvTest(x[3], x[2]), SUNFALSE); }, 2},  // vector 3 holds zeros
      {[](N_Vector* x) { EXPECT_EQ(N_VInvTest(x[0], x[2]), SUNTRUE); }, 2},
  };
  for (const auto& [op, into] : ops) {
    Vectors v;
    op(v.library);
    op(v.compiled);
    v.ExpectSameBits(into);
  }
  Vectors v;
  EXPECT_EQ(N_VDotProd(v.library[0], v.library[1]), N_VDotProd(v.compiled[0], v.compiled[1]));
  EXPECT_EQ(N_VMaxNorm(v.library[0]), N_VMaxNorm(v.compiled[0]));
  EXPECT_EQ(N_VMin(v.library[0]), N_VMin(v.compiled[0]));
  EXPECT_EQ(N_VWrmsNorm(v.library[0], v.library[1]), N_VWrmsNorm(v.compiled[0], v.compiled[1]));
  EXPECT_EQ(N_VWrmsNormMask(v.library[0], v.library[1], v.library[3]),
            N_VWrmsNormMask(v.compiled[0], v.compiled[1], v.compiled[3]));
}

// A band system whose pivots change rows (small diagonal), solved by the library's band solver
// and by the compiled one: the same factors, the same solution, to the last bit.
TEST(DiffusionAlgebra, BandFactorAndSolveAreTheLibrarys) {
  SUNContext context = nullptr;
  SUNContext_Create(nullptr, &context);
  const sunindextype upper = 3;
  const sunindextype lower = 4;
  N_Vector b[2];
  N_Vector x[2];
  SUNMatrix A[2];
  SUNLinearSolver S[2];
  for (int k = 0; k < 2; ++k) {
    b[k] = N_VNew_Serial(Size, context);
    x[k] = N_VNew_Serial(Size, context);
    A[k] = SUNBandMatrix(Size, upper, lower, context);
    S[k] = SUNLinSol_Band(b[k], A[k], context);
    for (sunindextype i = 0; i < Size; ++i) NV_Ith_S(b[k], i) = std::cos(0.9 * i);
  }
  UseCompiledBandOperations(A[1], S[1]);
  for (int k = 0; k < 2; ++k) {
    SUNMatZero(A[k]);
    for (sunindextype j = 0; j < Size; ++j) {
      for (sunindextype i = std::max<sunindextype>(0, j - upper); i <= std::min(Size - 1, j + lower); ++i) {
        SM_ELEMENT_B(A[k], i, j) = i == j ? 1e-3 * (j % 3) : std::sin(3.1 * i + 1.3 * j);
      }
    }
    SUNMatScaleAddI(-0.4, A[k]);
    ASSERT_EQ(SUNLinSolSetup(S[k], A[k]), SUNLS_SUCCESS);
    ASSERT_EQ(SUNLinSolSolve(S[k], A[k], x[k], b[k], 0), SUNLS_SUCCESS);
  }
  EXPECT_EQ(std::memcmp(SM_DATA_B(A[0]), SM_DATA_B(A[1]), SM_LDATA_B(A[0]) * sizeof(double)), 0);
  auto pivots = [](SUNLinearSolver s) { return static_cast<SUNLinearSolverContent_Band>(s->content)->pivots; };
  EXPECT_EQ(std::memcmp(pivots(S[0]), pivots(S[1]), Size * sizeof(sunindextype)), 0);
  EXPECT_EQ(std::memcmp(NV_DATA_S(x[0]), NV_DATA_S(x[1]), Size * sizeof(double)), 0);
  // A singular matrix (a zero column) is refused as the library refuses it.
  for (int k = 0; k < 2; ++k) {
    for (sunindextype i = 0; i < Size; ++i) {
      if (std::abs(i - 5) <= 4) SM_ELEMENT_B(A[k], i, 5) = 0;
    }
    EXPECT_EQ(SUNLinSolSetup(S[k], A[k]), SUNLS_LUFACT_FAIL);
    EXPECT_EQ(SUNLinSolLastFlag(S[k]), 6);  // the pivot of column 5 (1-based 6) is 0
  }
  for (int k = 0; k < 2; ++k) {
    SUNLinSolFree(S[k]);
    SUNMatDestroy(A[k]);
    N_VDestroy(x[k]);
    N_VDestroy(b[k]);
  }
  SUNContext_Free(&context);
}

}  // namespace
}  // namespace tovimar::diffusion
