// What one pass over a DXF file collects, before it becomes a dwg::Drawing: header values, table names, classes,
// block names, the entities that may live in a layout, and what could not be read.
#pragma once

#include "drawing/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dxf {

// Raw views point into the file's bytes, which outlive the reading.
struct HeaderValues
{
    std::string_view version; // $ACADVER
    std::string_view codepage;
    std::string_view fingerprintGuid;
    std::string_view versionGuid;
    std::string_view lastSavedBy;
    std::string_view hyperlinkBase;
    std::optional<double> tdcreate;
    std::optional<double> tducreate;
    std::optional<double> tdupdate;
    std::optional<double> tduupdate;
    std::optional<double> tdindwg;
    std::optional<std::uint64_t> handSeed;
};

struct BlockRecord
{
    std::optional<std::uint64_t> handle;
    std::string_view name;
};

struct TableContent
{
    bool hasBlockRecords = false;
    std::vector<std::string_view> layers;
    std::vector<std::pair<std::uint64_t, std::string_view>> layerHandles; // the layers that have a handle
    std::vector<BlockRecord> blockRecords;
    std::size_t textStyles = 0;
    std::size_t linetypes = 0;
    std::size_t dimStyles = 0;
};

struct ClassEntry
{
    std::string_view dxfName;
    std::string_view className;
};

// The drawing properties kept by the CAD program in a "DWGPROPS COOKIE" record of the OBJECTS section.
struct PropertiesRecord
{
    std::string_view title, subject, author, keywords, comments, lastSavedBy, revision, hyperlinkBase;
    std::vector<std::string_view> custom; // "name=value"
};

struct EntityRecord
{
    std::string_view type;   // the DXF name, e.g. "LINE"
    std::string_view marker; // the last subclass marker (group 100), empty in files without them
    std::optional<std::uint64_t> handle;
    std::optional<std::uint64_t> owner; // group 330 outside application groups
    bool paperSpace = false;            // group 67 = 1
    std::string_view block;             // the enclosing block in the BLOCKS section; empty in ENTITIES
    std::int64_t flags = 0;             // group 70: polyline kind, dimension kind
    bool multiple = false;              // an INSERT with rows or columns (MINSERT)
    double elevation = 0;               // a POLYLINE's z (group 30): the plane of a 2D polyline
    std::string layer;                  // decoded (ReadDetail::Contents)
    dwg::Geometry geometry;             // ReadDetail::Contents
    dwg::Contents data;                 // ReadDetail::Contents
    // An INSERT's attributes (the ATTRIB records after it) and their handles, in ascending handle order.
    std::vector<dwg::AttributeContents> attributes;
    std::vector<std::uint64_t> attributeHandles;
    bool damaged = false;                    // a value of its geometry could not be read
    std::vector<std::uint64_t> frozenLayers; // VIEWPORT
    std::uint64_t reference = 0;             // MULTILEADER: its block content's block record; IMAGE: its IMAGEDEF
    bool hasData = false;                    // at least one group after the record's name
};

struct DxfContent
{
    HeaderValues header;
    TableContent tables;
    std::vector<ClassEntry> classes;
    std::vector<std::string_view> blockNames; // BLOCK names of the BLOCKS section, in file order
    std::vector<dwg::Point3> blockBases;      // their base points (ReadDetail::Contents), in the same order
    std::optional<PropertiesRecord> properties;
    std::vector<std::pair<std::uint64_t, std::string_view>>
        imagePaths; // IMAGEDEF and underlay definitions: handles, files
    std::vector<EntityRecord> entities;
    std::map<std::uint64_t, std::string> modelerData; // ACDSDATA: the solid modeler's data (binary) by entity
    bool codepageKnown = true;
    bool entitiesReached = false; // the ENTITIES section was begun
    std::vector<std::string> warnings;
};

} // namespace dxf
