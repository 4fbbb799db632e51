// Fuzz target of the shell.txt reader.
#include <cstddef>
#include <cstdint>

#include "io/shell.h"
#include "model/failure.h"
#include "io/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  domica::text_file t;
  t.name = "shell.txt";
  t.data.assign(reinterpret_cast<const char*>(data), size);
  try {
    domica::read_shell(t);
  } catch (const domica::failure&) {
  }
  return 0;
}
