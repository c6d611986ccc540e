// Whose drawing is whose: the student of a drawing is the immediate sub-folder of the location it lies in
// ("class A/anna/bracket.dwg": anna); a drawing directly in a location's folder is a student of its own. A
// student belongs to one project: this year's "s01" is not last year's.
#pragma once

#include "similar/SimilarResult.h"

#include <string>
#include <vector>

namespace darv::similar {

struct Student
{
    std::string key;  // the project and the student's folder (or the drawing's path): equal for one student only
    std::string name; // "anna" (or the name an import's manifest gives); for a student of their own, the file name
    std::string folder = {}; // the student's folder; empty for a student of their own
};

Student studentOf(const DrawingName& drawing);

// Gives the drawings of the pairs the names of their students where the manifest of an import names their folders
// ("Anna Meier" for submissions/WEEK 6/Anna Meier_123456): each manifest is read once.
void nameStudents(std::vector<SimilarPair>& pairs);

// Both drawings are one student's.
bool sameStudent(const SimilarPair& pair);

// "anna / s07": the students of a pair, with an earlier project's named.
std::string studentsText(const SimilarPair& pair);

// The pairs in cases: all pairs of the same two students together, the cases by their strongest pair, the pairs of
// a case best first; equal scores in the order of the paths, so that every run ranks alike.
void rankInCases(std::vector<SimilarPair>& pairs);

// Groups of three or more students joined by the pairs: a ring that shares one drawing's work. Each group's
// students by name (an earlier project's with the project named), in the order of the names; the groups in the
// order of their first students.
std::vector<std::vector<std::string>> copyRings(const std::vector<SimilarPair>& pairs);

// "s03, s11, s12 and anna".
std::string namesText(const std::vector<std::string>& names);

// Whether pair i begins a new case of a list ranked by rankInCases, and how many pairs that case holds.
std::size_t caseSize(const std::vector<SimilarPair>& pairs, std::size_t i);

} // namespace darv::similar
