#include "shell/startup.h"

int main(int argc, char** argv)
{
    return runPlotwright(argc, argv, PLOTWRIGHT_DELIVERABLE);
}
