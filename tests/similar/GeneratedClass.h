// Classes of drawings as a teacher meets them, generated in memory from a seed: one template; students who
// draw the same assignment from it with their own placement, order and construction details; and copies
// planted by every trick (file copy, paste in place, paste and move, partly redrawn, renamed layers and a
// save as DXF), also of an earlier year's drawing.
#pragma once

#include "drawing/Drawing.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace darv::test {

// What every student is asked to draw, in the part's own coordinates.
struct Assignment
{
    std::vector<dwg::Entity> given;                              // lines, circles, arcs, polylines, texts of the part
    std::vector<std::pair<dwg::Point3, dwg::Point3>> dimensions; // measured point pairs
    double scale = 1; // the part's size over 100 units: the students' own details scale with it
};

Assignment bracketAssignment(std::uint64_t seed);
Assignment flangeAssignment(std::uint64_t seed);
// A real drawing as the assignment: the layout entities of a corpus drawing's geometry file (NAME.geometry.json),
// moved to the origin; its lines' lengths are the given dimensions. Empty when the file cannot be read.
Assignment corpusAssignment(const std::string& geometryFile);

// How a copy is made from a classmate's drawing.
struct CopyTrick
{
    bool wholeFile = false; // the file itself, texts changed and saved again
    dwg::Point3 move;       // pasted into a fresh drawing, moved by this
    double deleted = 0;     // share of the pasted entities deleted afterwards
    std::size_t added = 0;  // own lines added afterwards
    bool renameLayers = false;
    bool savedAsDxf = false; // coordinates through 16 significant digits, another version
    // Turned, mirrored (in the vertical line through `about`) and scaled about `about` after pasting, before
    // the move: ROTATE, MIRROR and SCALE.
    double turn = 0; // degrees, counter-clockwise
    bool mirrored = false;
    double scale = 1;
    dwg::Point3 about;
};

// How a class draws beyond the assignment.
struct ClassStyle
{
    bool layerZero = false; // everything on layer 0, as beginners draw
    // The sheet gives the part's place, every dimension line's offset and the centre lines' length: students add
    // nothing of their own but two notes and a point, placed by hand.
    bool givenPositions = false;
    bool dimensions = true; // false: no dimension at all, as beginners often hand in
};

class ClassGenerator
{
public:
    ClassGenerator(Assignment assignment, std::uint64_t seed, ClassStyle style = {});

    const dwg::Drawing& templateDrawing() const { return m_template; }
    double scale() const { return m_assignment.scale; }
    // An independent student's drawing; the same index gives the same drawing.
    dwg::Drawing student(int index);
    // A copy of source made by student `copier` (who writes own name, number and login into it).
    dwg::Drawing copy(const dwg::Drawing& source, int copier, const CopyTrick& trick);

private:
    struct Person
    {
        std::string name;
        std::string number;
        std::string login;
        std::string date;
    };
    Person person(int index) const;
    dwg::Drawing freshDrawing(const Person& who, bool fromTemplateFile);
    void addEntity(dwg::Drawing& d, std::string className, std::string layer, dwg::Geometry geometry);
    void drawPart(dwg::Drawing& d, const dwg::Point3& at);
    void drawOwnDetails(dwg::Drawing& d, const dwg::Point3& at, std::size_t count);
    void drawTitleTexts(dwg::Drawing& d, const Person& who);
    void drawNotes(dwg::Drawing& d, const dwg::Point3& at);
    double uniform(double low, double high);
    bool chance(double p);
    std::string guid();

    Assignment m_assignment;
    std::uint64_t m_seed;
    ClassStyle m_style;
    std::mt19937_64 m_random;
    dwg::Drawing m_template;
    std::uint64_t m_nextHandle = 0;
    int m_layerStyle = 0;
};

} // namespace darv::test
