// Built like the package's programs (without the ZELVO_MACHINE_STORE seam):
// the store in force is the fixed one even when the environment names another.
#include "platform/config_store.h"

#include <cstdio>
#include <cstdlib>

int main()
{
    ::setenv("ZELVO_MACHINE_STORE", "/tmp/a-pupils-own.reg", 1);
    const QString path = MachineStorePath();
    if (path == QLatin1String("/etc/zelvo/machine.reg"))
        return 0;
    std::fprintf(stderr, "the store in force is %s\n", qPrintable(path));
    return 1;
}
