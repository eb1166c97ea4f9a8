// The velkor program.
#include "app/Velkor_application.h"

int main(int argc, char** argv) {
  return Velkor_Main(&g_application_data, argc, argv);
}
