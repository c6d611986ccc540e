// A generated class on disk as the similarity run meets it: a data folder, a project whose location holds
// one sub-folder per student (every file called the same), and a source that returns the generated drawings
// for those files and counts how often it is asked.
#pragma once

#include "base/DataFolder.h"
#include "drawing/Drawing.h"
#include "projects/QuotedLinesFile.h"
#include "similar/DrawingSource.h"
#include "support/TempFolder.h"

#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace darv::test {

class ClassFolder
{
public:
    ClassFolder()
    {
        makeDataFolders(data());
        std::filesystem::create_directories(m_root.file("templates"));
    }

    std::string data() const { return m_root.file("data"); }
    std::string root() const { return m_root.path(); }

    // Adds the drawing as FOLDER/STUDENT/FILE of the project's class folder, which the project's location
    // names with its sub-folders. Returns the full path.
    std::string add(const std::string& project, const std::string& student, const dwg::Drawing& drawing,
                    const std::string& file = "bracket.dwg")
    {
        const std::string folder = m_root.file(project + " class");
        const std::string path = folder + "/" + student + "/" + file;
        std::filesystem::create_directories(folder + "/" + student);
        place(path, drawing);
        if (!rewriteQuotedLines(locationFilePath(data(), project), {"+" + folder}))
            throw std::runtime_error("the location file cannot be written");
        return path;
    }
    std::string addTemplate(const dwg::Drawing& drawing)
    {
        const std::string path = m_root.file("templates/template.dwg");
        place(path, drawing);
        return path;
    }
    // A file the source cannot read.
    std::string addUnreadable(const std::string& project, const std::string& student)
    {
        const std::string path = add(project, student, dwg::Drawing{});
        m_drawings->erase(path);
        return path;
    }
    void replace(const std::string& path, const dwg::Drawing& drawing) { place(path, drawing); }

    similar::DrawingSource source() const
    {
        return [drawings = m_drawings, calls = m_calls](const std::string& path) {
            ++*calls;
            dwg::ReadResult result;
            if (const auto it = drawings->find(path); it != drawings->end())
                result.drawing = it->second;
            else
                result.error = dwg::DwgError{dwg::ErrorCode::NotDwg, 0, "test"};
            return result;
        };
    }
    int sourceCalls() const { return m_calls->load(); }

private:
    // The file's bytes differ with each version of its drawing, as a saved drawing's do.
    void place(const std::string& path, const dwg::Drawing& drawing)
    {
        const int version = ++m_versions[path];
        writeFile(path, "drawing " + path + " version " + std::to_string(version) + "\n");
        (*m_drawings)[path] = drawing;
    }

    TempFolder m_root;
    std::shared_ptr<std::map<std::string, dwg::Drawing>> m_drawings =
        std::make_shared<std::map<std::string, dwg::Drawing>>();
    std::shared_ptr<std::atomic<int>> m_calls = std::make_shared<std::atomic<int>>(0);
    std::map<std::string, int> m_versions;
};

} // namespace darv::test
