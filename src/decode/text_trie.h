#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Table texts, for the longest one that a piece of text starts with: what an inserter looks
// for at each place of a string's text. A trie, so a lookup costs one step a byte of the
// text it matches, however many texts share their first bytes (a table's controls all start
// with "[", its kana with the same lead byte). The root's children are a direct array; a node
// holds its child itself when it has one, which most have (the rest of a control's name, of a
// multi-byte character), and the children of nodes with more are kept in one open-addressing
// hash table keyed by (node, byte).
class TextTrie {
 public:
  // Nodes are numbered in 16 bits.
  static constexpr int kMaxNodes = 0xFFFF;

  TextTrie();

  // Adds `text` (not empty) for `code` (0-0xFFFE). Of two codes with the same text the lower
  // is kept. Texts that would take the trie past kMaxNodes are not added.
  void add(std::string_view text, int code);

  struct Match {
    int length = 0;  // 0: no text matches
    int code = -1;
  };
  // The longest added text that `text` starts with.
  Match longest(std::string_view text) const {
    Match match;
    int node = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
      node = child(node, static_cast<std::uint8_t>(text[at]));
      if (node == 0) break;
      const std::uint16_t code = nodes_[static_cast<std::size_t>(node)].code;
      if (code != kNoCode) match = {static_cast<int>(at + 1), code};
    }
    return match;
  }

  // What the trie holds for exactly `text`: the code whose text it is (-1 if none), and
  // whether longer texts start with it.
  struct Exact {
    int code = -1;
    bool extended = false;
  };
  Exact exact(std::string_view text) const;

 private:
  static constexpr std::uint16_t kNoCode = 0xFFFF;
  struct Node {
    std::uint16_t code = kNoCode;  // the code whose text ends here
    std::uint16_t only_child = 0;  // when it has one child
    std::uint8_t only_byte = 0;
    std::uint8_t fanout = 0;  // children: 0, 1, or 2 for more
  };
  struct Edge {
    std::uint32_t key = 0;  // node << 8 | byte, plus 1: 0 marks a free place
    std::uint32_t child = 0;
  };

  std::size_t place_of(std::uint32_t key) const { return (key * 0x9E3779B1u) >> shift_; }
  // The child of `node` by `byte`, or 0 if it has none.
  int child(int node, std::uint8_t byte) const {
    if (node == 0) return root_[byte];
    const Node& n = nodes_[static_cast<std::size_t>(node)];
    if (n.fanout == 0) return 0;
    if (n.fanout == 1) return byte == n.only_byte ? n.only_child : 0;
    return child_in_table(node, byte);
  }
  // The same for a node with more than one child, which are all in the table.
  int child_in_table(int node, std::uint8_t byte) const {
    const std::uint32_t key = (static_cast<std::uint32_t>(node) << 8 | byte) + 1;
    for (std::size_t at = place_of(key);; at = (at + 1) & (edges_.size() - 1)) {
      if (edges_[at].key == key) return static_cast<int>(edges_[at].child);
      if (edges_[at].key == 0) return 0;
    }
  }
  int add_child(int node, std::uint8_t byte);
  void put_edge(int node, std::uint8_t byte, int child);
  void grow();

  std::vector<Node> nodes_;  // node 0 is the root, so 0 also means "none" below it
  std::uint16_t root_[256] = {};
  std::vector<Edge> edges_;
  std::size_t edges_used_ = 0;
  int shift_ = 32;
};
