// Sets a value of a Pingalo! store from the command line, as another program
// would, for what pingalo-ctl does not do (the end-to-end tests' settings):
//
//   pingalo_store_tool STORE set SECTION NAME VALUE
#include "platform/SqliteSettingsStore.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 6 || QLatin1String(argv[2]) != QLatin1String("set")) {
        std::fprintf(stderr, "usage: pingalo_store_tool STORE set SECTION NAME VALUE\n");
        return 2;
    }
    SqliteSettingsStore settings(QString::fromLocal8Bit(argv[1]));
    return settings.save(QString::fromLocal8Bit(argv[3]), QString::fromLocal8Bit(argv[4]),
                         QString::fromLocal8Bit(argv[5]))
               ? 0
               : 1;
}
