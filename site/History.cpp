#include "site/History.h"

#include <git2.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

#include "site/FileDigest.h"

using namespace Qt::StringLiterals;

namespace {

// Each libgit2 object in an owner that frees it on every path.
template <typename T, void (*Free)(T*)>
struct Freer {
    void operator()(T* object) const { Free(object); }
};
template <typename T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, Freer<T, Free>>;
using Object = Owned<git_object, git_object_free>;
using CommitPtr = Owned<git_commit, git_commit_free>;
using Tree = Owned<git_tree, git_tree_free>;
using TreeEntry = Owned<git_tree_entry, git_tree_entry_free>;
using Blob = Owned<git_blob, git_blob_free>;
using Index = Owned<git_index, git_index_free>;
using Signature = Owned<git_signature, git_signature_free>;
using RevWalk = Owned<git_revwalk, git_revwalk_free>;

bool Fail(QString* errorText, const QString& what) {
    const git_error* error = git_error_last();
    *errorText = what + u": "_s +
                 (error != nullptr ? QString::fromUtf8(error->message) : u"unknown error"_s);
    return false;
}

QByteArray Hex(const git_oid* oid) {
    char text[GIT_OID_HEXSZ + 1] = {};
    git_oid_tostr(text, sizeof text, oid);
    return QByteArray(text);
}

QByteArray Utf8(const QString& text) {
    return text.toUtf8();
}

}  // namespace

History::History() {
    git_libgit2_init();
}

History::~History() {
    git_repository_free(repository_);
    git_libgit2_shutdown();
}

bool History::Open(const QString& folder, bool create, QString* errorText) {
    git_repository_free(repository_);
    repository_ = nullptr;
    folder_ = folder;
    const QByteArray path = Utf8(QDir::toNativeSeparators(folder));
    if (git_repository_open_ext(&repository_, path.constData(), GIT_REPOSITORY_OPEN_NO_SEARCH,
                                nullptr) == 0) {
        return true;
    }
    if (!create) {
        return Fail(errorText, u"The history %1 cannot be opened"_s.arg(folder));
    }
    git_repository_init_options options = GIT_REPOSITORY_INIT_OPTIONS_INIT;
    options.flags = GIT_REPOSITORY_INIT_MKPATH;
    options.initial_head = "main";
    if (git_repository_init_ext(&repository_, path.constData(), &options) != 0) {
        return Fail(errorText, u"The history %1 cannot be made"_s.arg(folder));
    }
    return true;
}

QString History::Resolve(const QString& revision, QString* errorText) {
    const QByteArray spec = revision.isEmpty() ? QByteArray("HEAD") : Utf8(revision);
    git_object* found = nullptr;
    if (git_revparse_single(&found, repository_, spec.constData()) != 0) {
        *errorText = revision.isEmpty() ? u"The history has no commit yet."_s
                                        : u"The history has no commit \"%1\"."_s.arg(revision);
        return {};
    }
    const Object object(found);
    git_object* peeled = nullptr;
    if (git_object_peel(&peeled, object.get(), GIT_OBJECT_COMMIT) != 0) {
        *errorText = u"\"%1\" names no commit of the history."_s.arg(revision);
        return {};
    }
    const Object commit(peeled);
    return QString::fromLatin1(Hex(git_object_id(commit.get())));
}

bool History::FilesOf(const QString& controller, const QString& commit, bool digests, Files* files,
                      QString* errorText) {
    files->clear();
    if (commit.isEmpty() && git_repository_head_unborn(repository_) == 1) {
        return true;  // nothing recorded yet
    }
    const QString id = Resolve(commit, errorText);
    if (id.isEmpty()) {
        return false;
    }
    git_oid oid;
    git_oid_fromstr(&oid, id.toLatin1().constData());
    git_commit* found = nullptr;
    git_tree* rootFound = nullptr;
    if (git_commit_lookup(&found, repository_, &oid) != 0) {
        return Fail(errorText, u"Reading commit %1 of the history failed"_s.arg(id));
    }
    const CommitPtr owner(found);
    if (git_commit_tree(&rootFound, owner.get()) != 0) {
        return Fail(errorText, u"Reading commit %1 of the history failed"_s.arg(id));
    }
    const Tree root(rootFound);
    git_tree_entry* entryFound = nullptr;
    if (git_tree_entry_bypath(&entryFound, root.get(), Utf8(controller).constData()) != 0) {
        return true;  // the controller has no folder there
    }
    const TreeEntry folder(entryFound);
    git_tree* subFound = nullptr;
    if (git_tree_entry_type(folder.get()) != GIT_OBJECT_TREE ||
        git_tree_lookup(&subFound, repository_, git_tree_entry_id(folder.get())) != 0) {
        return true;
    }
    const Tree sub(subFound);
    git_odb* odbFound = nullptr;
    if (git_repository_odb(&odbFound, repository_) != 0) {
        return Fail(errorText, u"Reading the history's objects failed"_s);
    }
    const Owned<git_odb, git_odb_free> odb(odbFound);
    struct Walk {
        History* history;
        git_odb* odb;
        Files* files;
        bool digests;
    } walk{this, odb.get(), files, digests};
    const int walked = git_tree_walk(
        sub.get(), GIT_TREEWALK_PRE,
        [](const char* root, const git_tree_entry* entry, void* payload) -> int {
            if (git_tree_entry_type(entry) != GIT_OBJECT_BLOB) {
                return 0;
            }
            auto* walk = static_cast<Walk*>(payload);
            const QByteArray id = Hex(git_tree_entry_id(entry));
            File& known = walk->history->blobs_[id];
            known.blobId = id;
            if (walk->digests && known.sha256.isEmpty()) {
                git_blob* blobFound = nullptr;
                if (git_blob_lookup(&blobFound, walk->history->repository_,
                                    git_tree_entry_id(entry)) != 0) {
                    return -1;
                }
                const Blob blob(blobFound);
                known.size = static_cast<qint64>(git_blob_rawsize(blob.get()));
                known.sha256 = file_digest::OfBytes(QByteArray::fromRawData(
                    static_cast<const char*>(git_blob_rawcontent(blob.get())),
                    static_cast<qsizetype>(known.size)));
            } else if (known.size == 0 && known.sha256.isEmpty()) {
                // The size alone is in the object's header: the contents are not inflated.
                size_t size = 0;
                git_object_t type = GIT_OBJECT_INVALID;
                if (git_odb_read_header(&size, &type, walk->odb, git_tree_entry_id(entry)) != 0) {
                    return -1;
                }
                known.size = static_cast<qint64>(size);
            }
            File file = known;
            if (!walk->digests) {
                file.sha256.clear();
            }
            walk->files->insert(
                QString::fromUtf8(root) + QString::fromUtf8(git_tree_entry_name(entry)), file);
            return 0;
        },
        &walk);
    if (walked != 0) {
        return Fail(errorText, u"Reading the history of %1 failed"_s.arg(controller));
    }
    return true;
}

std::optional<QByteArray> History::Read(const QString& controller, const QString& path,
                                        const QString& commit, QString* errorText) {
    const QString id = Resolve(commit, errorText);
    if (id.isEmpty()) {
        return std::nullopt;
    }
    git_oid oid;
    git_oid_fromstr(&oid, id.toLatin1().constData());
    git_commit* found = nullptr;
    git_tree* rootFound = nullptr;
    git_tree_entry* entryFound = nullptr;
    git_blob* blobFound = nullptr;
    if (git_commit_lookup(&found, repository_, &oid) != 0) {
        Fail(errorText, u"Reading commit %1 of the history failed"_s.arg(id));
        return std::nullopt;
    }
    const CommitPtr owner(found);
    if (git_commit_tree(&rootFound, owner.get()) != 0) {
        Fail(errorText, u"Reading commit %1 of the history failed"_s.arg(id));
        return std::nullopt;
    }
    const Tree root(rootFound);
    const QByteArray full = Utf8(controller + u'/' + path);
    if (git_tree_entry_bypath(&entryFound, root.get(), full.constData()) != 0) {
        *errorText =
            u"The history has no %1 in commit %2."_s.arg(controller + u'/' + path, id.left(12));
        return std::nullopt;
    }
    const TreeEntry entry(entryFound);
    if (git_tree_entry_type(entry.get()) != GIT_OBJECT_BLOB ||
        git_blob_lookup(&blobFound, repository_, git_tree_entry_id(entry.get())) != 0) {
        *errorText = u"%1 is not a file in commit %2."_s.arg(controller + u'/' + path, id.left(12));
        return std::nullopt;
    }
    const Blob blob(blobFound);
    return QByteArray(static_cast<const char*>(git_blob_rawcontent(blob.get())),
                      static_cast<qsizetype>(git_blob_rawsize(blob.get())));
}

bool History::Apply(const Change& change, QString* errorText) {
    const QDir root(folder_);
    const QString target = root.filePath(change.path);
    if (change.sourceFile.isEmpty()) {
        if (QFileInfo::exists(target) && !QFile::remove(target)) {
            *errorText = u"Cannot remove %1 from the history's folder."_s.arg(target);
            return false;
        }
        root.rmpath(QFileInfo(change.path).path());  // the folders it leaves empty
        return true;
    }
    if (!root.mkpath(QFileInfo(change.path).path())) {
        *errorText = u"Cannot make the folder of %1 in the history."_s.arg(target);
        return false;
    }
    QFile old(target);
    if (old.exists() && !old.remove()) {
        *errorText = u"Cannot replace %1 in the history: %2"_s.arg(target, old.errorString());
        return false;
    }
    QFile source(change.sourceFile);
    if (!source.rename(target) && !source.copy(target)) {
        *errorText =
            u"Cannot copy %1 into the history: %2"_s.arg(change.path, source.errorString());
        return false;
    }
    return true;
}

bool History::Record(const QList<Change>& changes, const Author& author, const QString& message,
                     bool always, QString* commitId, QString* errorText) {
    commitId->clear();
    git_index* indexFound = nullptr;
    if (git_repository_index(&indexFound, repository_) != 0) {
        return Fail(errorText, u"Reading the history's index failed"_s);
    }
    const Index index(indexFound);
    QHash<QByteArray, QByteArray> pathOfContents;  // SHA-256 -> the first path added with it
    for (const Change& change : changes) {
        if (!Apply(change, errorText)) {
            return false;
        }
        const QByteArray path = Utf8(change.path);
        int updated = 0;
        const QByteArray first = pathOfContents.value(change.sha256);
        const git_index_entry* same = change.sourceFile.isEmpty() || first.isEmpty()
                                          ? nullptr
                                          : git_index_get_bypath(index.get(), first.constData(), 0);
        if (change.sourceFile.isEmpty()) {
            updated = git_index_remove_bypath(index.get(), path.constData());
        } else if (same != nullptr) {
            // The same contents as a file added before: its blob, without reading this copy.
            git_index_entry entry = *same;
            entry.path = path.constData();
            entry.dev = 0;
            entry.ino = 0;
            updated = git_index_add(index.get(), &entry);
        } else {
            updated = git_index_add_bypath(index.get(), path.constData());
            if (!change.sha256.isEmpty()) {
                pathOfContents.insert(change.sha256, path);
            }
        }
        if (updated != 0) {
            return Fail(errorText, u"Adding %1 to the history failed"_s.arg(change.path));
        }
    }
    git_oid treeId;
    if (git_index_write(index.get()) != 0 || git_index_write_tree(&treeId, index.get()) != 0) {
        return Fail(errorText, u"Writing the history's index failed"_s);
    }
    git_oid parentId;
    const bool hasParent = git_reference_name_to_id(&parentId, repository_, "HEAD") == 0;
    CommitPtr parent;
    if (hasParent) {
        git_commit* found = nullptr;
        if (git_commit_lookup(&found, repository_, &parentId) != 0) {
            return Fail(errorText, u"Reading the history's last commit failed"_s);
        }
        parent.reset(found);
        if (!always && git_oid_equal(git_commit_tree_id(parent.get()), &treeId)) {
            return true;  // nothing changed
        }
    } else if (!always && changes.isEmpty()) {
        return true;
    }
    git_tree* treeFound = nullptr;
    git_signature* signatureFound = nullptr;
    if (git_tree_lookup(&treeFound, repository_, &treeId) != 0) {
        return Fail(errorText, u"Reading the history's new tree failed"_s);
    }
    const Tree tree(treeFound);
    if (git_signature_now(&signatureFound, Utf8(author.name).constData(),
                          Utf8(author.email).constData()) != 0) {
        return Fail(errorText, u"The engineer's name cannot sign a commit"_s);
    }
    const Signature signature(signatureFound);
    const git_commit* parents[] = {parent.get()};
    git_oid newId;
    if (git_commit_create(&newId, repository_, "HEAD", signature.get(), signature.get(), "UTF-8",
                          Utf8(message).constData(), tree.get(), hasParent ? 1 : 0, parents) != 0) {
        return Fail(errorText, u"Committing to the history failed"_s);
    }
    *commitId = QString::fromLatin1(Hex(&newId));
    return true;
}

bool History::Log(QList<Commit>* commits, QString* errorText) {
    commits->clear();
    if (git_repository_head_unborn(repository_) == 1) {
        return true;
    }
    git_revwalk* walkFound = nullptr;
    if (git_revwalk_new(&walkFound, repository_) != 0) {
        return Fail(errorText, u"Reading the history failed"_s);
    }
    const RevWalk walk(walkFound);
    git_revwalk_sorting(walk.get(), GIT_SORT_TIME);
    if (git_revwalk_push_head(walk.get()) != 0) {
        return Fail(errorText, u"Reading the history failed"_s);
    }
    git_oid oid;
    while (git_revwalk_next(&oid, walk.get()) == 0) {
        git_commit* found = nullptr;
        if (git_commit_lookup(&found, repository_, &oid) != 0) {
            return Fail(errorText, u"Reading the history failed"_s);
        }
        const CommitPtr commit(found);
        const git_signature* signature = git_commit_author(commit.get());
        Commit entry;
        entry.id = QString::fromLatin1(Hex(&oid));
        entry.when = QDateTime::fromSecsSinceEpoch(signature->when.time, Qt::OffsetFromUTC,
                                                   signature->when.offset * 60);
        entry.author = QString::fromUtf8(signature->name);
        entry.email = QString::fromUtf8(signature->email);
        entry.message = QString::fromUtf8(git_commit_message(commit.get()));
        commits->append(entry);
    }
    return true;
}
