// A data folder, drawings from the corpus and the import's results for the submissions tests.
#pragma once

#include "ArchiveWriter.h"
#include "submissions/Manifest.h"
#include "submissions/Sha256.h"
#include "submissions/SubmissionImport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace darv::test {

// The bytes of corpus drawing k (read only, never copied into the project); made-up bytes where the
// corpus is missing, as the import does not read drawings.
inline std::string corpusDrawing(std::size_t k)
{
    static const std::vector<std::string> names = {"example_2000.dwg", "example_2004.dwg",  "example_2007.dwg",
                                                   "example_2010.dwg", "sample_AC1015.dwg", "sample_AC1018.dwg"};
    const std::string bytes = readFile(std::string(DARV_CORPUS_DIR) + "/" + names[k % names.size()]);
    return bytes.empty() ? "AC1015 drawing " + std::to_string(k) : bytes;
}

// Whether the file holds exactly these bytes; names the sizes, not the bytes, when it does not.
inline ::testing::AssertionResult holds(const std::string& path, const std::string& bytes)
{
    const std::string content = readFile(path);
    if (content == bytes)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << path << " holds " << content.size() << " other bytes, not the "
                                         << bytes.size() << " expected";
}

class ImportFixture : public ::testing::Test
{
protected:
    std::string data() const { return m_root.file("data"); }
    std::string target() const { return data() + "/submissions/CLASS"; }
    std::string archive(const std::string& name) const { return m_root.file(name); }
    std::string scratch() const { return m_root.file("scratch.bin"); }

    submissions::ImportReport import(const std::string& archivePath, const submissions::ImportLimits& limits = {})
    {
        std::filesystem::create_directories(data());
        return submissions::importSubmissions(archivePath, data(), "CLASS", limits);
    }

    submissions::Manifest manifest() const
    {
        auto read = submissions::readManifest(target());
        EXPECT_TRUE(read.ok()) << (read.ok() ? "" : read.error().text);
        return read.ok() ? *read : submissions::Manifest{};
    }

    const submissions::ManifestFile* fileOf(const submissions::Manifest& m, const std::string& student,
                                            const std::string& file) const
    {
        for (const auto& entry : m.files)
            if (entry.student == student && entry.file == file)
                return &entry;
        return nullptr;
    }

    // Every file under the test's root, relative to it, except the archives the test wrote.
    std::set<std::string> filesOutsideTarget() const
    {
        std::set<std::string> outside;
        const std::filesystem::path root = m_root.path();
        for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
            const std::string relative = std::filesystem::relative(item.path(), root).string();
            if (item.is_directory() || relative.rfind("data/submissions/CLASS/", 0) == 0 ||
                relative.find('/') == std::string::npos)
                continue;
            outside.insert(relative);
        }
        return outside;
    }

    TempFolder m_root;
};

} // namespace darv::test
