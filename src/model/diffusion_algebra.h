#pragma once

#include <nvector/nvector_serial.h>
#include <sundials/sundials_linearsolver.h>
#include <sundials/sundials_matrix.h>

// The integrator's inner loops compiled with the kernel. The SUNDIALS library the kernel links
// (Debian's libsundials-dev 6.4) is built without optimisation: its vector operations and its
// band LU spill every loop variable to the stack, and took about 60 % of a diffusion run.
// These replacements are installed in the objects' tables of operations (SUNDIALS's own way of
// giving a vector or solver other operations). Each does the same floating-point operations
// in the same order as the library's own, so a run's results are the same to the last bit.
namespace tovimar::diffusion {

// Replaces the serial vector's operations that the BDF method calls on every step (linear
// sums, scaling, norms, ...). CVODE clones its work vectors from the vector it is given, and
// a clone takes its template's table, so all of them use these.
void UseCompiledVectorOperations(N_Vector v);

// Replaces the band matrix's zeroing and `c A + I`, and the band solver's LU factorisation
// (partial pivoting) and solve. `matrix` and `solver` must come from SUNBandMatrix and
// SUNLinSol_Band.
void UseCompiledBandOperations(SUNMatrix matrix, SUNLinearSolver solver);

}  // namespace tovimar::diffusion
