#include "library/TagCircles.h"

#include <algorithm>
#include <limits>

namespace {

// The links as lists of numbered tags: the targets of tag i are
// targets[first[i]] to targets[first[i + 1] - 1].
struct Graph {
  std::vector<int64_t> tags;
  std::vector<uint32_t> first;
  std::vector<uint32_t> targets;
};

Graph MakeGraph(const std::vector<std::pair<int64_t, int64_t>>& links) {
  Graph graph;
  std::unordered_map<int64_t, uint32_t> numbers;
  const auto number = [&](int64_t tag) {
    const auto [found, added] = numbers.try_emplace(tag, static_cast<uint32_t>(graph.tags.size()));
    if (added) graph.tags.push_back(tag);
    return found->second;
  };
  std::vector<std::pair<uint32_t, uint32_t>> edges;
  edges.reserve(links.size());
  for (const auto& [from, to] : links) {
    const uint32_t source = number(from);
    edges.emplace_back(source, number(to));
  }
  graph.first.assign(graph.tags.size() + 1, 0);
  for (const auto& edge : edges) ++graph.first[edge.first + 1];
  for (size_t i = 1; i < graph.first.size(); ++i) graph.first[i] += graph.first[i - 1];
  graph.targets.resize(edges.size());
  std::vector<uint32_t> next(graph.first.begin(), graph.first.end() - 1);
  for (const auto& [source, target] : edges) graph.targets[next[source]++] = target;
  return graph;
}

}  // namespace

// Tarjan's search for strongly connected components, with a stack of its own
// in place of recursion, so a chain thousands of links long needs no deep
// call stack.
std::unordered_map<int64_t, int64_t> TagCircles(const std::vector<std::pair<int64_t, int64_t>>& links) {
  const Graph graph = MakeGraph(links);
  constexpr uint32_t kUnseen = std::numeric_limits<uint32_t>::max();
  const size_t count = graph.tags.size();
  std::vector<uint32_t> order(count, kUnseen);  // when the search first met the tag
  std::vector<uint32_t> low(count);             // the earliest tag still open it reaches
  std::vector<uint32_t> nextLink(count);
  std::vector<bool> open(count, false);
  std::vector<uint32_t> openTags;  // met, and not yet placed in a component
  std::vector<uint32_t> path;      // the search's own call stack
  uint32_t met = 0;
  std::unordered_map<int64_t, int64_t> circles;
  const auto meet = [&](uint32_t tag) {
    order[tag] = low[tag] = met++;
    nextLink[tag] = graph.first[tag];
    open[tag] = true;
    openTags.push_back(tag);
    path.push_back(tag);
  };
  for (uint32_t start = 0; start < count; ++start) {
    if (order[start] != kUnseen) continue;
    meet(start);
    while (!path.empty()) {
      const uint32_t tag = path.back();
      if (nextLink[tag] < graph.first[tag + 1]) {
        const uint32_t target = graph.targets[nextLink[tag]++];
        if (order[target] == kUnseen) {
          meet(target);
        } else if (open[target]) {
          low[tag] = std::min(low[tag], order[target]);
        }
        continue;
      }
      path.pop_back();
      if (!path.empty()) low[path.back()] = std::min(low[path.back()], low[tag]);
      if (low[tag] != order[tag]) continue;
      // The tag heads a component: the tags opened since it, itself included.
      const auto members = std::find(openTags.rbegin(), openTags.rend(), tag).base() - 1;
      if (openTags.end() - members > 1) {
        int64_t lowest = graph.tags[*members];
        for (auto member = members; member != openTags.end(); ++member) lowest = std::min(lowest, graph.tags[*member]);
        for (auto member = members; member != openTags.end(); ++member) circles[graph.tags[*member]] = lowest;
      }
      for (auto member = members; member != openTags.end(); ++member) open[*member] = false;
      openTags.erase(members, openTags.end());
    }
  }
  return circles;
}
