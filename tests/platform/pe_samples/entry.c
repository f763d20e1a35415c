/* The whole program: it ends at once. */
int SampleEntry(void) { return 0; }
