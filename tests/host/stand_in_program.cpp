// The whole program with the stand-in layer instead of the panel.
#include "host/target_configuration.h"
#include "tests/host/stand_in_layer.h"

int main(int argc, char** argv) {
  host_test::StandIn stand_in;
  return RunApplication(&stand_in.params, argc, argv);
}
