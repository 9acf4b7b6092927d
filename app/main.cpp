#include "app/startup.h"

int main(int argc, char** argv) {
    return zeravan::app::run(argc, argv);
}
