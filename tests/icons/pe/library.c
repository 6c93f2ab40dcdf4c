/* A library that holds nothing but its resources. */
int plumage_test_library(void) { return 0; }
