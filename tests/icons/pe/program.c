/* A program for the icon tests: with app.rc it has one icon, without it none. */
int main(void) { return 0; }
