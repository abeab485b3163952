#include "decode/text_trie.h"

TextTrie::TextTrie() : nodes_(1), edges_(64) {
  shift_ = 32 - 6;  // 64 places
}

void TextTrie::add(std::string_view text, int code) {
  int node = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<std::uint8_t>(text[at]);
    int next = child(node, byte);
    if (next == 0) {
      if (nodes_.size() >= kMaxNodes) return;
      next = add_child(node, byte);
    }
    node = next;
  }
  std::uint16_t& kept = nodes_[static_cast<std::size_t>(node)].code;
  if (kept == kNoCode || code < kept) kept = static_cast<std::uint16_t>(code);
}

TextTrie::Exact TextTrie::exact(std::string_view text) const {
  int node = 0;
  for (std::size_t at = 0; at < text.size() && (at == 0 || node != 0); ++at)
    node = child(node, static_cast<std::uint8_t>(text[at]));
  if (node == 0) return {};
  const Node& n = nodes_[static_cast<std::size_t>(node)];
  return {n.code == kNoCode ? -1 : n.code, n.fanout > 0};
}

int TextTrie::add_child(int node, std::uint8_t byte) {
  const int next = static_cast<int>(nodes_.size());
  nodes_.emplace_back();
  if (node == 0) {
    root_[byte] = static_cast<std::uint16_t>(next);
    return next;
  }
  Node& parent = nodes_[static_cast<std::size_t>(node)];
  if (parent.fanout == 0) {
    parent.fanout = 1;
    parent.only_byte = byte;
    parent.only_child = static_cast<std::uint16_t>(next);
    return next;
  }
  if (parent.fanout == 1) {  // from now on its children are looked up in the table
    parent.fanout = 2;
    put_edge(node, parent.only_byte, parent.only_child);
  }
  put_edge(node, byte, next);
  return next;
}

void TextTrie::put_edge(int node, std::uint8_t byte, int child) {
  if (2 * (edges_used_ + 1) > edges_.size()) grow();  // at most half full
  const std::uint32_t key = (static_cast<std::uint32_t>(node) << 8 | byte) + 1;
  std::size_t at = place_of(key);
  while (edges_[at].key != 0) at = (at + 1) & (edges_.size() - 1);
  edges_[at] = {key, static_cast<std::uint32_t>(child)};
  ++edges_used_;
}

void TextTrie::grow() {
  std::vector<Edge> old(2 * edges_.size());
  old.swap(edges_);
  --shift_;
  for (const Edge& edge : old) {
    if (edge.key == 0) continue;
    std::size_t at = place_of(edge.key);
    while (edges_[at].key != 0) at = (at + 1) & (edges_.size() - 1);
    edges_[at] = edge;
  }
}
