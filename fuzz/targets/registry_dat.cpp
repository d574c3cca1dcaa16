// A Netscape registry.dat: the profile folder it names is found only when it exists, and the file
// holds a "directory" entry that names it.
#include "Shim.h"

#include "engine/NetscapeProfile.h"
#include "framework/MbString.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string content(reinterpret_cast<const char*>(data), size);
    const char path[] = "C:\\Mozilla\\registry.dat";
    shim::Reset({"C:", "C:\\Mozilla", "C:\\Profiles", "C:\\Profiles\\abc.slt"});
    shim::PutFile(path, content);

    std::string folder = "sentinel";
    if (!FindProfileInRegistryFile(path, folder)) {
        FUZZ_CHECK(folder == "sentinel");
        return 0;
    }
    FUZZ_CHECK(PathFileExistsA(folder.c_str()));
    FUZZ_CHECK(framework::MbsTrim(folder) == folder);
    FUZZ_CHECK(content.find("directory") != std::string::npos && content.find(folder) != std::string::npos);
    return 0;
}
