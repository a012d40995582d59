#pragma once

class QComboBox;

// The course box of the class windows: one keyed item per course that is open on
// the working date, in course-code order.
namespace OpenCourses {

// Clears the box and fills it with keyed items: the course name (followed by its
// dates when both are set), the given number of blanks, "@" and the course code;
// the box shows the name and dates only.
void fill(QComboBox* box, int blanks);

} // namespace OpenCourses
