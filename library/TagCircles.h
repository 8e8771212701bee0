#pragma once
// Tags that reach one another over links, found in one pass over the links:
// the time grows with the number of links, however long the paths between
// the tags are (working out every tag's reach would grow with the square of
// a chain's length).
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

// Every tag on a circle of links (each link leads from a tag to the tag it
// names) with its circle's number: the lowest TagID of the tags that reach
// one another with it. Two tags reach each other over links exactly when they
// have one number; a tag on no circle is left out (a link from a tag to
// itself makes no circle).
std::unordered_map<int64_t, int64_t> TagCircles(const std::vector<std::pair<int64_t, int64_t>>& links);
