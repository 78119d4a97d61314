#include "tapplication.h"

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    return TApplication::RunMainForm();
}
