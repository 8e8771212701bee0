#include "player/MpvNode.h"

MpvNode::MpvNode(const QVariantList& values) {
  items_.resize(values.size());
  for (qsizetype i = 0; i < values.size(); ++i) {
    const QVariant& value = values[i];
    mpv_node& item = items_[i];
    switch (value.typeId()) {
      case QMetaType::Bool:
        item.format = MPV_FORMAT_FLAG;
        item.u.flag = value.toBool() ? 1 : 0;
        break;
      case QMetaType::Int:
      case QMetaType::LongLong:
        item.format = MPV_FORMAT_INT64;
        item.u.int64 = value.toLongLong();
        break;
      case QMetaType::Double:
        item.format = MPV_FORMAT_DOUBLE;
        item.u.double_ = value.toDouble();
        break;
      default:
        texts_.push_back(value.toString().toUtf8());
        item.format = MPV_FORMAT_STRING;
        item.u.string = texts_.back().data();
    }
  }
  list_.num = static_cast<int>(items_.size());
  list_.values = items_.data();
  root_.format = MPV_FORMAT_NODE_ARRAY;
  root_.u.list = &list_;
}

QVariant MpvNode::ToVariant(const mpv_node& node) {
  switch (node.format) {
    case MPV_FORMAT_STRING:
      return QString::fromUtf8(node.u.string);
    case MPV_FORMAT_FLAG:
      return node.u.flag != 0;
    case MPV_FORMAT_INT64:
      return static_cast<qlonglong>(node.u.int64);
    case MPV_FORMAT_DOUBLE:
      return node.u.double_;
    case MPV_FORMAT_BYTE_ARRAY:
      return QByteArray(static_cast<const char*>(node.u.ba->data), static_cast<qsizetype>(node.u.ba->size));
    case MPV_FORMAT_NODE_ARRAY: {
      QVariantList list;
      for (int i = 0; i < node.u.list->num; ++i) list << ToVariant(node.u.list->values[i]);
      return list;
    }
    case MPV_FORMAT_NODE_MAP: {
      QVariantMap map;
      for (int i = 0; i < node.u.list->num; ++i) {
        map.insert(QString::fromUtf8(node.u.list->keys[i]), ToVariant(node.u.list->values[i]));
      }
      return map;
    }
    default:
      return {};
  }
}
