// Numbers and messages as the program prints them: distances with as many digits as the depth
// of field needs, in metres or, below a metre, millimetres; messages on one line.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

namespace host {

// A way of writing a set of distances: the unit and the digits after the point.
struct DistanceFormat {
    bool millimetres = false;
    int decimals = 2;
    std::string text(double metres) const;  // "7.03 m", "449.2 mm", "∞" for +infinity
};

// The format that tells apart every two different values of `metres` (finite ones) and shows
// at least three significant digits of the smallest.
DistanceFormat format_for(std::initializer_list<double> metres);

// One distance on its own: three significant digits or more.
std::string metres(double value);

// A plain number: whole numbers as they are written ("1000000000"), others in the shortest
// form that reads back the same, in fixed notation down to a millionth ("2.8", "0.0001",
// "1e-07").
std::string plain(double value);

// A panel field's value: a single-precision value (what a field shows) in the shortest form
// that reads back as that float ("0.15", not "0.15000000596046448").
std::string field_text(double value);

// A message on one line, whatever it quotes (a path or a name may hold a newline): line breaks
// shown as \n and \r, other control characters as "?".
std::string one_line(const std::string& text);

// `text` cut to at most `max_bytes` at a character boundary, with "..." when cut: what a
// message quotes of a name, key or argument that may be very long.
std::string clipped(const std::string& text, size_t max_bytes = 200);

}  // namespace host
