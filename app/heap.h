// Settings of the process for its solvers. The heap, for runs that allocate and free many blocks
// of the same large size (the sparse factorisations of domica_2): with glibc
// the freed blocks are kept in the heap for the next one, instead of mapping
// each afresh and handing it back, which cost a tenth of such a run. A
// process-wide setting, so only the console programs make it.
#pragma once

namespace domica {

void keep_freed_blocks();

// No OpenMP thread beside the calling one for the rest of the process. The
// sparse Cholesky factorisation (CHOLMOD, of the Newton minimiser) opens a
// team of four OpenMP threads around short loops in every factorisation;
// on this 2-core machine they made it 1.7 times slower than one thread alone
// (and far slower on one core, or beside another run), with the same results.
// The energy's own threads are not OpenMP and are not touched.
void serial_openmp();

}  // namespace domica
