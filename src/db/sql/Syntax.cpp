#include "db/sql/Syntax.h"

#include <new>

// Under AddressSanitizer every node goes back to the allocator, so a node used after its tree is
// gone is still caught.
#if defined(__SANITIZE_ADDRESS__)
#define TARVEL_POOL_NODES 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVEL_POOL_NODES 0
#endif
#endif
#ifndef TARVEL_POOL_NODES
#define TARVEL_POOL_NODES 1
#endif

namespace tarvel::db::sql {
namespace {

#if TARVEL_POOL_NODES
// Freed nodes of this thread, kept for the next statement; at most kKept, the rest are freed.
class NodePool {
 public:
  static constexpr std::size_t kKept = 4096;
  ~NodePool() {
    gone_ = true;
    for (void* node : free_)
      ::operator delete(node);
  }
  /// Null once this thread's pool is gone (a tree freed by a static destructor at exit).
  static NodePool* Get() {
    if (gone_) return nullptr;
    thread_local NodePool pool;
    return &pool;
  }
  void* Take() {
    if (free_.empty()) return ::operator new(sizeof(Expr));
    void* node = free_.back();
    free_.pop_back();
    return node;
  }
  void Give(void* node) {
    if (free_.size() >= kKept) {
      ::operator delete(node);
      return;
    }
    free_.push_back(node);
  }

 private:
  std::vector<void*> free_;
  static thread_local bool gone_;
};

thread_local bool NodePool::gone_ = false;
#endif

class SourceCollector {
 public:
  QStringList names;

  void Add(const QString& name) {
    for (const QString& n : names)
      if (n.compare(name, Qt::CaseInsensitive) == 0) return;
    names << name;
  }
  void Visit(const Query& q) {
    for (const auto& m : q.members)
      Visit(*m);
    for (const OrderItem& o : q.orderBy)
      Visit(*o.expr);
    if (q.crosstab) {
      Visit(*q.crosstab->value);
      Visit(*q.crosstab->pivot);
    }
  }
  void Visit(const Select& s) {
    for (const auto& source : s.from)
      Visit(*source);
    for (const SelectItem& item : s.items)
      if (item.expr) Visit(*item.expr);
    if (s.where) Visit(*s.where);
    for (const auto& g : s.groupBy)
      Visit(*g);
    if (s.having) Visit(*s.having);
    for (const OrderItem& o : s.orderBy)
      Visit(*o.expr);
  }
  void Visit(const Source& s) {
    switch (s.kind) {
      case Source::Kind::Table:
        Add(s.name);
        break;
      case Source::Kind::Derived:
        Visit(*s.query);
        break;
      case Source::Kind::Join:
        Visit(*s.left);
        Visit(*s.right);
        Visit(*s.on);
        break;
    }
  }
  void Visit(const Expr& e) {
    for (const auto& arg : e.args)
      Visit(*arg);
    if (e.query) Visit(*e.query);
  }
};

}  // namespace

Expr::~Expr() {
  std::vector<ExprPtr> pending;
  for (ExprPtr& arg : args)
    if (arg) pending.push_back(std::move(arg));
  while (!pending.empty()) {
    ExprPtr node = std::move(pending.back());
    pending.pop_back();
    for (ExprPtr& arg : node->args)
      if (arg) pending.push_back(std::move(arg));
  }
}

void* Expr::operator new(std::size_t size) {
#if TARVEL_POOL_NODES
  if (NodePool* pool = NodePool::Get(); pool && size == sizeof(Expr)) return pool->Take();
#endif
  return ::operator new(size);
}

void Expr::operator delete(void* node, [[maybe_unused]] std::size_t size) noexcept {
#if TARVEL_POOL_NODES
  if (NodePool* pool = NodePool::Get(); pool && size == sizeof(Expr)) {
    pool->Give(node);
    return;
  }
#endif
  ::operator delete(node);
}

QStringList SourceNames(const Statement& statement) {
  SourceCollector collector;
  if (statement.query) collector.Visit(*statement.query);
  if (!statement.table.isEmpty()) collector.Add(statement.table);
  if (statement.where) collector.Visit(*statement.where);
  return collector.names;
}

QString BindingName(const QStringList& parts, const QString& separators) {
  QString name;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    if (i > 0) name += i - 1 < separators.size() ? separators[i - 1] : QChar(u'.');
    name += parts[i].trimmed();
  }
  return name;
}

}  // namespace tarvel::db::sql
