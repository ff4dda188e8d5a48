#include "app/startup.h"

int main(int argc, char** argv) {
    return vorlan::Startup(argc, argv, VORLAN_BUILD_VERSION);
}
