#include "decode/text_trie.h"

TextTrie::TextTrie() : nodes_(1), edges_(64) {
  shift_ = 32 - 6;  // 64 places
}

void TextTrie::add(std::string_view text, int code) {
  int node = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<std::uint8_t>(text[at]);
    int next = at == 0 ? root_[byte] : child(node, byte);
    if (next == 0) next = add_child(node, byte);
    node = next;
  }
  std::int32_t& kept = nodes_[static_cast<std::size_t>(node)].code;
  if (kept < 0 || code < kept) kept = code;
}

TextTrie::Exact TextTrie::exact(std::string_view text) const {
  int node = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<std::uint8_t>(text[at]);
    node = at == 0 ? root_[byte] : child(node, byte);
    if (node == 0) return {};
  }
  const Node& n = nodes_[static_cast<std::size_t>(node)];
  return {node == 0 ? -1 : n.code, n.children > 0};
}

int TextTrie::add_child(int node, std::uint8_t byte) {
  const int next = static_cast<int>(nodes_.size());
  nodes_.emplace_back();
  Node& parent = nodes_[static_cast<std::size_t>(node)];
  if (++parent.children == 1) {
    parent.only_byte = byte;
    parent.only_child = next;
  }
  if (node == 0) {
    root_[byte] = next;
    return next;
  }
  // Every child goes into the table too: a node that gains a second child looks its first
  // one up there from then on.
  if (2 * (edges_used_ + 1) > edges_.size()) grow();  // at most half full
  const std::uint32_t key = (static_cast<std::uint32_t>(node) << 8 | byte) + 1;
  std::size_t at = place_of(key);
  while (edges_[at].key != 0) at = (at + 1) & (edges_.size() - 1);
  edges_[at] = {key, next};
  ++edges_used_;
  return next;
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
