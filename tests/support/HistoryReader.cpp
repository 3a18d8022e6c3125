#include "tests/support/HistoryReader.h"

#include <git2.h>

namespace {

// One repository opened for one question, everything freed on return.
class Session {
public:
    explicit Session(const QString& folder) {
        git_libgit2_init();
        if (git_repository_open(&repository_, folder.toUtf8().constData()) != 0) {
            repository_ = nullptr;
        }
    }
    ~Session() {
        git_commit_free(commit_);
        git_repository_free(repository_);
        git_libgit2_shutdown();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    git_commit* Commit(const QString& revision) {
        git_object* object = nullptr;
        const QByteArray spec = revision.isEmpty() ? QByteArray("HEAD") : revision.toUtf8();
        if (repository_ == nullptr || git_revparse_single(&object, repository_, spec.constData())) {
            return nullptr;
        }
        git_object* peeled = nullptr;
        const int failed = git_object_peel(&peeled, object, GIT_OBJECT_COMMIT);
        git_object_free(object);
        commit_ = failed ? nullptr : reinterpret_cast<git_commit*>(peeled);
        return commit_;
    }
    git_repository* Repository() const { return repository_; }

private:
    git_repository* repository_ = nullptr;
    git_commit* commit_ = nullptr;
};

}  // namespace

int HistoryReader::Commits() const {
    Session session(folder_);
    git_revwalk* walk = nullptr;
    if (session.Repository() == nullptr || git_revwalk_new(&walk, session.Repository()) != 0) {
        return 0;
    }
    int count = 0;
    if (git_revwalk_push_head(walk) == 0) {
        git_oid oid;
        while (git_revwalk_next(&oid, walk) == 0) {
            ++count;
        }
    }
    git_revwalk_free(walk);
    return count;
}

std::optional<QByteArray> HistoryReader::File(const QString& path, const QString& revision) const {
    Session session(folder_);
    git_commit* commit = session.Commit(revision);
    git_tree* tree = nullptr;
    if (commit == nullptr || git_commit_tree(&tree, commit) != 0) {
        return std::nullopt;
    }
    git_tree_entry* entry = nullptr;
    std::optional<QByteArray> contents;
    if (git_tree_entry_bypath(&entry, tree, path.toUtf8().constData()) == 0) {
        git_blob* blob = nullptr;
        if (git_blob_lookup(&blob, session.Repository(), git_tree_entry_id(entry)) == 0) {
            contents = QByteArray(static_cast<const char*>(git_blob_rawcontent(blob)),
                                  static_cast<qsizetype>(git_blob_rawsize(blob)));
            git_blob_free(blob);
        }
        git_tree_entry_free(entry);
    }
    git_tree_free(tree);
    return contents;
}

QByteArray HistoryReader::BlobId(const QString& path, const QString& revision) const {
    Session session(folder_);
    git_commit* commit = session.Commit(revision);
    git_tree* tree = nullptr;
    if (commit == nullptr || git_commit_tree(&tree, commit) != 0) {
        return {};
    }
    QByteArray id;
    git_tree_entry* entry = nullptr;
    if (git_tree_entry_bypath(&entry, tree, path.toUtf8().constData()) == 0) {
        id = QByteArray(git_oid_tostr_s(git_tree_entry_id(entry)));
        git_tree_entry_free(entry);
    }
    git_tree_free(tree);
    return id;
}

QString HistoryReader::Message(const QString& revision) const {
    Session session(folder_);
    git_commit* commit = session.Commit(revision);
    return commit == nullptr ? QString() : QString::fromUtf8(git_commit_message(commit));
}

QString HistoryReader::Author(const QString& revision) const {
    Session session(folder_);
    git_commit* commit = session.Commit(revision);
    if (commit == nullptr) {
        return {};
    }
    const git_signature* author = git_commit_author(commit);
    return QString::fromUtf8(author->name) + QStringLiteral(" <") +
           QString::fromUtf8(author->email) + QLatin1Char('>');
}
