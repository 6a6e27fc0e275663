// Times the per-user store with a long document list, as the wizard keeps it:
// the list written value by value, saved once at the close, read again at
// the next start, and saved again after one change over the stored list.
//
//   store_bench [DOCUMENTS]      (default 10000)
#include "common/KSregstore.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

bool Saved(ks::RegistryStore& store) {
    if (const std::optional<ks::StoreProblem> problem = store.Save()) {
        std::fprintf(stderr, "store_bench: %s\n", problem->Message().c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const int documents = argc > 1 ? std::atoi(argv[1]) : 10000;
    std::string folder =
        (std::filesystem::temp_directory_path() / "ks-store-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        std::perror("store_bench: mkdtemp");
        return 1;
    }
    const std::string file = folder + "/kestrin/registry.ini";
    const std::string wizard = "\\Software\\KESTRIN\\4.0\\NL\\HTMLwiz\\";
    const std::string listKey = wizard + "SelectedHTXfile_items";
    const auto path = [](int n) {
        return "/home/gebruiker/Stambomen/boom " + std::to_string(n) + "/index.htx";
    };

    const auto start = Clock::now();
    ks::RegistryStore store(file);
    store.WriteValue(store.OpenKey(wizard), "Directory", "/home/gebruiker/verzamelindex/");
    store.DeleteKey(listKey);
    const ks::RegistryKeyHandle list = store.CreateKey(listKey);
    store.WriteValue(list, "current", "0");
    for (int n = 0; n < documents; ++n)
        store.WriteValue(list, std::to_string(n), (n % 2 ? "1," : "0,") + path(n));
    const auto filled = Clock::now();
    if (!Saved(store)) return 1;
    const auto saved = Clock::now();

    ks::RegistryStore next(file);
    const ks::RegistryKeyHandle reread = next.OpenKey(listKey);
    int found = 0;
    for (int n = 0; n < documents; ++n)
        if (const std::string* value = next.FindValue(reread, std::to_string(n));
            value != nullptr && value->substr(2) == path(n))
            ++found;
    const auto read = Clock::now();
    // The next close: the list replaced as a whole again, over the stored one.
    next.DeleteKey(listKey);
    const ks::RegistryKeyHandle again = next.CreateKey(listKey);
    for (int n = 0; n < documents; ++n)
        next.WriteValue(again, std::to_string(n), "1," + path(n));
    const auto refilled = Clock::now();
    if (!Saved(next)) return 1;
    const auto savedAgain = Clock::now();

    std::printf("documents            %d (%d read back intact)\n", documents, found);
    std::printf("store file           %llu bytes\n",
                static_cast<unsigned long long>(std::filesystem::file_size(file)));
    std::printf("fill in memory       %8.1f ms\n", Milliseconds(start, filled));
    std::printf("first save           %8.1f ms\n", Milliseconds(filled, saved));
    std::printf("read at next start   %8.1f ms\n", Milliseconds(saved, read));
    std::printf("fill again           %8.1f ms\n", Milliseconds(read, refilled));
    std::printf("save over the stored %8.1f ms\n", Milliseconds(refilled, savedAgain));
    std::filesystem::remove_all(folder);
    return found == documents ? 0 : 1;
}
