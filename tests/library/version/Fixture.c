/* A program that only carries a version resource (or none) for the reading tests. */
int main(void) { return 0; }
