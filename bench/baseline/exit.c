/* A statically linked program that only exits: the floor of fork and exec. */
int main(void) { return 0; }
