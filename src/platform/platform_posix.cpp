// Linux (and any POSIX system with /proc/self/exe), its windows on X11.
#include "platform/platform.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string programFolder() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return "";
    std::string program(path, size_t(length));
    size_t slash = program.rfind('/');
    if (slash == std::string::npos) return "";
    return slash == 0 ? "/" : program.substr(0, slash);
}

bool isFolder(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isRegularFile(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool makeFolder(const char *path) {
    return mkdir(path, 0755) == 0 || (errno == EEXIST && isFolder(path));
}

// The size of the regular file open as fd; -1 when it is no regular file.
static long regularSize(int fd) {
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return long(info.st_size);
}

FILE *openRegularFile(const char *path) {
    // O_NONBLOCK: opening a FIFO to read would otherwise wait for a writer before fstat could
    // tell what it is.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    if (regularSize(fd) < 0) {
        close(fd);
        return nullptr;
    }
    FILE *file = fdopen(fd, "rb");
    if (!file) close(fd);
    return file;
}

long regularFileSize(FILE *file) {
    return regularSize(fileno(file));
}

FILE *createNewFile(const char *path) {
    // "x": made here or not at all, even against a dangling link or another process.
    return fopen(path, "wbx");
}

void setUpStandardOutput() {
    setvbuf(stdout, nullptr, _IONBF, 0);
}

void setEnvironmentDefault(const char *name, const char *value) {
    setenv(name, value, 0);
}

int hushStandardError() {
    fflush(stderr);
    int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (saved < 0) return -1;
    int nothing = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nothing < 0 || dup2(nothing, STDERR_FILENO) < 0) {
        if (nothing >= 0) close(nothing);
        close(saved);
        return -1;
    }
    close(nothing);
    return saved;
}

void restoreStandardError(int saved) {
    if (saved < 0) return;
    fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
}

// Whether window lies inside ancestor (or is it); a few X round trips, one per level.
static bool inside(Display *display, Window window, Window ancestor) {
    while (window != ancestor) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count)) return false;
        if (children) XFree(children);
        if (parent == 0 || window == root) return false;
        window = parent;
    }
    return true;
}

bool windowHoldsKeyboard() {
    Display *display = glXGetCurrentDisplay();
    Window window = glXGetCurrentDrawable();
    if (!display || !window) return true;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus == window || focus == PointerRoot) return true;
    if (focus == None) return false;
    // Focus on the root or the window manager's frame around the window still sends the keys
    // typed over the window to it; the answer is kept while the focus stays where it is.
    static Window lastFocus = None, lastWindow = None;
    static bool lastHolds = true;
    if (focus != lastFocus || window != lastWindow) {
        lastFocus = focus;
        lastWindow = window;
        lastHolds = inside(display, window, focus);
    }
    return lastHolds;
}

// The X key symbol of a key (see keysHeldDown), NoSymbol when it has none.
static KeySym keySymbolOf(int key) {
    const int special = 256;
    if (key >= special) {
        int code = key - special;
        if (code >= GLUT_KEY_F1 && code <= GLUT_KEY_F12) return XK_F1 + (code - GLUT_KEY_F1);
        switch (code) {
        case GLUT_KEY_LEFT:
            return XK_Left;
        case GLUT_KEY_UP:
            return XK_Up;
        case GLUT_KEY_RIGHT:
            return XK_Right;
        case GLUT_KEY_DOWN:
            return XK_Down;
        case GLUT_KEY_PAGE_UP:
            return XK_Page_Up;
        case GLUT_KEY_PAGE_DOWN:
            return XK_Page_Down;
        case GLUT_KEY_HOME:
            return XK_Home;
        case GLUT_KEY_END:
            return XK_End;
        case GLUT_KEY_INSERT:
            return XK_Insert;
        }
        return NoSymbol;
    }
    switch (key) {
    case 8:
        return XK_BackSpace;
    case 9:
        return XK_Tab;
    case 13:
        return XK_Return;
    case 27:
        return XK_Escape;
    case 127:
        return XK_Delete;
    }
    // With Control held, a letter comes as its control character.
    if (key >= 1 && key <= 26) return XK_a + (key - 1);
    // Latin-1: the symbol is the character.
    if (key >= 0x20 && key <= 0xff && key != 0x7f) return KeySym(key);
    return NoSymbol;
}

bool keepHeldKeysHeld() {
    Display *display = glXGetCurrentDisplay();
    Bool supported = False;
    if (display) XkbSetDetectableAutoRepeat(display, True, &supported);
    return supported == True;
}

std::vector<bool> keysHeldDown(const std::vector<int> &keys) {
    std::vector<bool> down(keys.size(), true);
    Display *display = glXGetCurrentDisplay();
    if (!display) return down;
    char map[32];
    XQueryKeymap(display, map);
    for (size_t i = 0; i < keys.size(); i++) {
        KeySym symbol = keySymbolOf(keys[i]);
        KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display, symbol);
        if (code != 0) down[i] = (map[code / 8] >> (code % 8)) & 1;
    }
    return down;
}

const char *platformName() {
    return "linux";
}

std::string stateFolder() {
    const char *state = getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/grazewell";
    const char *home = getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/grazewell";
    return "";
}

// What the crash line says, set before any fault: the handler only reads them. Two sets, the one
// in force named by crashTexts: armCrashLine fills the other and then switches, so that a fault
// arriving while it copies still finds whole texts.
struct CrashTexts {
    char before[2048], after[2048], marker[1024];
};
static CrashTexts crashTextSets[2];
static volatile sig_atomic_t crashTexts = 0;
// The handler's own stack, so that a stack overflow's fault still has room to say its line.
static char crashStack[64 * 1024];
static const int CRASH_SIGNALS[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

static void writeAll(int fd, const char *text) {
    size_t left = strlen(text);
    while (left > 0) {
        ssize_t n = write(fd, text, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        text += n;
        left -= size_t(n);
    }
}

static const char *signalName(int number) {
    switch (number) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGBUS:
        return "SIGBUS";
    case SIGFPE:
        return "SIGFPE";
    case SIGILL:
        return "SIGILL";
    case SIGABRT:
        return "SIGABRT";
    }
    return "a fatal signal";
}

// Only write, open, close and raise: each is safe in a signal handler. SA_RESETHAND has put the
// default action back, so the signal raised again ends the process as the fault would have.
static void onCrash(int number) {
    int saved = errno;
    const CrashTexts &texts = crashTextSets[crashTexts];
    writeAll(STDERR_FILENO, texts.before);
    writeAll(STDERR_FILENO, signalName(number));
    writeAll(STDERR_FILENO, texts.after);
    if (texts.marker[0]) {
        int fd = open(texts.marker, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd >= 0) {
            writeAll(fd, signalName(number));
            writeAll(fd, "\n");
            close(fd);
        }
    }
    errno = saved;
    raise(number);
}

static void copyText(char *to, size_t room, const char *from) {
    snprintf(to, room, "%s", from ? from : "");
}

void armCrashLine(const char *before, const char *after, const char *marker) {
    CrashTexts &next = crashTextSets[1 - crashTexts];
    copyText(next.before, sizeof next.before, before);
    copyText(next.after, sizeof next.after, after);
    copyText(next.marker, sizeof next.marker, marker);
    crashTexts = 1 - crashTexts;
    static bool armed = false;
    if (armed) return;
    armed = true;
    stack_t stack = {};
    stack.ss_sp = crashStack;
    stack.ss_size = sizeof crashStack;
    sigaltstack(&stack, nullptr);
    struct sigaction action = {};
    action.sa_handler = onCrash;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_ONSTACK;
    for (int number : CRASH_SIGNALS) sigaction(number, &action, nullptr);
}

void crashNow() {
    raise(SIGSEGV);
    abort(); // SIGSEGV ignored by whoever started the game: a crash all the same
}
std::string settingsFolder() {
    const char *config = getenv("XDG_CONFIG_HOME");
    // The XDG rules: a relative path there is to be ignored.
    if (config && config[0] == '/') return std::string(config) + "/grazewell";
    const char *home = getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.config/grazewell";
    return "";
}

bool pathExists(const std::string &path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool finishFile(FILE *file) {
    bool flushed = fflush(file) == 0 && fsync(fileno(file)) == 0;
    return fclose(file) == 0 && flushed;
}

bool moveToNewName(const char *from, const char *to) {
    // A second name for the file fails when to is taken, by anything, even at the same moment.
    if (link(from, to) == 0) {
        // In its place under to: the name it was made under goes.
        unlink(from);
        return true;
    }
    if (errno == EEXIST) return false;
    // A file system without links (FAT): looked at, then renamed.
    if (pathExists(to)) {
        errno = EEXIST;
        return false;
    }
    return rename(from, to) == 0;
}

bool replaceFile(const char *from, const char *to) {
    return rename(from, to) == 0;
}

void prepareWindowThreads() {
    XInitThreads();
}

// The selection context and the pbuffer it is current on, made once.
static Display *selectionDisplay = nullptr;
static GLXContext selectionContext = nullptr;
static GLXPbuffer selectionDrawable = 0;

// The selection context sharing SHARED's objects, and its pbuffer; false when either is refused.
static bool makeSharedContext(Display *display, GLXContext shared) {
    // Any configuration that has pbuffers: a selection pass writes no pixel, so none is read.
    const int wanted[] = {GLX_DRAWABLE_TYPE, GLX_PBUFFER_BIT, GLX_RENDER_TYPE, GLX_RGBA_BIT, None};
    int count = 0;
    GLXFBConfig *configs = glXChooseFBConfig(display, DefaultScreen(display), wanted, &count);
    if (!configs) return false;
    GLXFBConfig config = count > 0 ? configs[0] : nullptr;
    XFree(configs);
    if (!config) return false;
    const int size[] = {GLX_PBUFFER_WIDTH, 1, GLX_PBUFFER_HEIGHT, 1, None};
    selectionDisplay = display;
    selectionContext = glXCreateNewContext(display, config, GLX_RGBA_TYPE, shared, True);
    if (!selectionContext) return false;
    selectionDrawable = glXCreatePbuffer(display, config, size);
    return selectionDrawable != 0;
}

// Whether X refused a request while refusalsNoted was the error handler.
static bool xRefused = false;
static int refusalsNoted(Display *, XErrorEvent *) {
    xRefused = true;
    return 0;
}

bool makeSelectionContext() {
    if (selectionContext) return true;
    Display *display = glXGetCurrentDisplay();
    GLXContext shared = glXGetCurrentContext();
    if (!display || !shared) return false;
    // A server that refuses the context or the pbuffer answers with an X error, which would
    // otherwise end the game: it only means there is no second context.
    XSync(display, False);
    xRefused = false;
    XErrorHandler before = XSetErrorHandler(refusalsNoted);
    bool made = makeSharedContext(display, shared);
    XSync(display, False);
    XSetErrorHandler(before);
    if (made && !xRefused) return true;
    if (selectionDrawable) glXDestroyPbuffer(display, selectionDrawable);
    if (selectionContext) glXDestroyContext(display, selectionContext);
    selectionContext = nullptr;
    selectionDrawable = 0;
    return false;
}

// What was current on this thread before it entered the selection context.
static thread_local GLXDrawable keptDraw = 0, keptRead = 0;
static thread_local GLXContext keptContext = nullptr;

bool enterSelectionContext() {
    if (!selectionContext) return false;
    keptDraw = glXGetCurrentDrawable();
    keptRead = glXGetCurrentReadDrawable();
    keptContext = glXGetCurrentContext();
    return glXMakeContextCurrent(selectionDisplay, selectionDrawable, selectionDrawable,
                                 selectionContext);
}

void leaveSelectionContext() {
    glXMakeContextCurrent(selectionDisplay, keptDraw, keptRead, keptContext);
}

bool askSwapInterval(int interval) {
    Display *display = glXGetCurrentDisplay();
    GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || !drawable) return false;
    // Every name has an entry point, whether or not the GL serves it: only the extension string
    // says which may be called.
    const char *extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    const GLubyte *ext = reinterpret_cast<const GLubyte *>("glXSwapIntervalEXT");
    const GLubyte *mesa = reinterpret_cast<const GLubyte *>("glXSwapIntervalMESA");
    typedef void (*SwapIntervalEXT)(Display *, GLXDrawable, int);
    typedef int (*SwapIntervalMESA)(unsigned int);
    if (namesExtension(extensions, "GLX_EXT_swap_control")) {
        auto swapInterval = reinterpret_cast<SwapIntervalEXT>(glXGetProcAddressARB(ext));
        if (swapInterval) {
            swapInterval(display, drawable, interval);
            return true;
        }
    }
    if (namesExtension(extensions, "GLX_MESA_swap_control")) {
        auto swapInterval = reinterpret_cast<SwapIntervalMESA>(glXGetProcAddressARB(mesa));
        return swapInterval && swapInterval((unsigned int)interval) == 0;
    }
    return false;
}
