#pragma once
// Values passed to and from libmpv as its node trees: numbers stay numbers
// (never text a locale could misread), texts are UTF-8.
#include <QByteArray>
#include <QVariant>

#include <mpv/client.h>

#include <deque>
#include <vector>

class MpvNode {
 public:
  // A node array of the given values (texts, numbers, flags), kept alive as
  // long as this object.
  explicit MpvNode(const QVariantList& values);
  MpvNode(const MpvNode&) = delete;
  MpvNode& operator=(const MpvNode&) = delete;

  mpv_node* Get() { return &root_; }

  // A node tree as maps (QVariantMap), lists, texts, numbers, flags and byte
  // arrays.
  static QVariant ToVariant(const mpv_node& node);

 private:
  mpv_node root_{};
  mpv_node_list list_{};
  std::vector<mpv_node> items_;
  std::deque<QByteArray> texts_;
};
