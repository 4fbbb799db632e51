// Settings of the process for its solvers. The heap, for runs that allocate and free many blocks
// of the same large size (the sparse factorisations of domica_2): with glibc
// the freed blocks are kept in the heap for the next one, instead of mapping
// each afresh and handing it back, which cost a tenth of such a run. A
// process-wide setting, so only the console programs make it.
#pragma once

namespace domica {

void keep_freed_blocks();

}  // namespace domica
