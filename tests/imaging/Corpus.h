#pragma once
// The committed corpus of files made by outside encoders
// (tools/make_imaging_corpus.sh).
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/WholeFile.h"

namespace quill::imaging::test {

inline std::vector<std::filesystem::path> CorpusFiles(const std::string& extension)
{
    std::vector<std::filesystem::path> files;
#ifdef _WIN32
    const std::filesystem::path folder =
        "Z:" QUILL_SOURCE_DIR "/tests/imaging/corpus";  // Wine's drive of the host's root
#else
    const std::filesystem::path folder = QUILL_SOURCE_DIR "/tests/imaging/corpus";
#endif
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == extension)
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

inline std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path)
{
    return quill::test::ReadWholeFileBytes(path);
}

}  // namespace quill::imaging::test
