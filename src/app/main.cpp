#include "app/AppBrolavi.h"

int main(int argc, char* argv[]) {
    return AppBrolavi::run(argc, argv);
}
