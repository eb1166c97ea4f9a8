// Keeps the support library non-empty while its helpers are being added.
namespace velkor_test_support { int anchor = 0; }
