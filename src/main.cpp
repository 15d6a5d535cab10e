// The quillmere executable: the program takes no arguments and runs the
// main flow from the working directory, which must be the game folder.
#include <allegro.h>

#include "game/main_flow.h"

int main(void)
{
    return main_flow();
}
END_OF_MAIN()
