// quarrow-bench-config: writes the benchmark's configuration file.
//   quarrow-bench-config FILE.qrw

#include <cstdio>

#include "AllKindsConfig.h"
#include "config/ConfigFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: quarrow-bench-config FILE.qrw\n", stderr);
        return 2;
    }
    quarrow::ExportConfig config;
    quarrow::ConfigTree entityTree;
    quarrow::ConfigTree dataTree;
    quarrow::bench::BuildAllKindsConfig(config, entityTree, dataTree);
    const auto result = quarrow::WriteConfigFile(argv[1], config, entityTree, dataTree);
    if (!result.Ok) {
        std::fprintf(stderr, "%s\n", result.Message.c_str());
        return 1;
    }
    return 0;
}
