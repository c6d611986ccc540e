// A class as the tests and benchmarks use it: a template, independent students, and copies planted by every
// trick, written into a ClassFolder; with the planted pairs to check the ranking against.
#pragma once

#include "similar/ClassFolder.h"
#include "similar/GeneratedClass.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace darv::test {

using PathPair = std::pair<std::string, std::string>;

inline PathPair orderedPair(const std::string& a, const std::string& b)
{
    return a < b ? PathPair{a, b} : PathPair{b, a};
}

struct PlantedClass
{
    std::string templatePath;
    std::vector<std::string> students; // full paths, in the order generated
    std::vector<dwg::Drawing> drawings;
    std::set<PathPair> planted; // pairs of full paths
    dwg::Point3 move;           // the move of the "moved" copy: its source's entities + move
    std::string movedCopy;
    std::string movedSource;
};

// `count` independent students (index `first` on), then copies of the first six of them: the whole file
// edited, pasted in place, pasted and moved, moved and partly redrawn, moved with renamed layers and saved
// as DXF, and one drawing copied by two others (three planted pairs).
inline PlantedClass plantClass(ClassFolder& folder, ClassGenerator& generator, const std::string& project,
                               int count = 20, int first = 0)
{
    PlantedClass c;
    c.templatePath = folder.addTemplate(generator.templateDrawing());
    for (int i = 0; i < count; ++i) {
        c.drawings.push_back(generator.student(first + i));
        c.students.push_back(folder.add(project, "student " + std::to_string(first + i), c.drawings.back()));
    }
    const double k = generator.scale(); // the moves are for a part of about 100 units
    int copier = first + count;
    const auto plant = [&](std::size_t source, const CopyTrick& trick, const std::string& name) {
        const std::string path =
            folder.add(project, "copier " + name, generator.copy(c.drawings[source], copier++, trick));
        c.planted.insert(orderedPair(c.students[source], path));
        return path;
    };
    CopyTrick whole;
    whole.wholeFile = true;
    plant(0, whole, "whole file");
    plant(1, CopyTrick{}, "in place");
    CopyTrick moved;
    moved.move = {83.17 * k, -41.5 * k, 0};
    c.movedCopy = plant(2, moved, "moved");
    c.movedSource = c.students[2];
    c.move = moved.move;
    CopyTrick redrawn;
    redrawn.move = {-20.25 * k, 33 * k, 0};
    redrawn.deleted = 0.15;
    redrawn.added = 4;
    plant(3, redrawn, "redrawn");
    CopyTrick dxf;
    dxf.move = {12.5 * k, 7.25 * k, 0};
    dxf.renameLayers = true;
    dxf.savedAsDxf = true;
    plant(4, dxf, "dxf");
    CopyTrick ring;
    ring.move = {55 * k, 0, 0};
    const std::string firstCopy = plant(5, ring, "ring one");
    const std::string secondCopy = plant(5, CopyTrick{}, "ring two");
    c.planted.insert(orderedPair(firstCopy, secondCopy));
    return c;
}

} // namespace darv::test
