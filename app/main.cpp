// darv2007: the window program.
#include "app/Application.h"

int main(int argc, char** argv)
{
    return darv::runApplication(argc, argv);
}
