// The whole program with the stand-in layer instead of the panel, for the
// window tests that need a process of its own (its exit status, its stderr, a
// process that must end).
#include "host/target_configuration.h"
#include "tests/host/stand_in_layer.h"

int main(int argc, char** argv) {
  host_test::StandIn stand_in;
  return RunApplication(&stand_in.params, argc, argv);
}
