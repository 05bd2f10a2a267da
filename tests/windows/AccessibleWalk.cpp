#include "AccessibleWalk.h"

#include <oleacc.h>

namespace {

// The interface is named by __uuidof throughout: MinGW's oleacc import
// library binds IID_IAccessible to an import stub, whose code bytes would be
// asked for as the interface.

// Far deeper than the program's windows go; a tree that claims more loops.
constexpr int kDeepest = 16;

std::wstring TakeString(BSTR text) {
    if (!text)
        return {};
    std::wstring taken(text, SysStringLen(text));
    SysFreeString(text);
    return taken;
}

VARIANT ChildId(long id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = RealGetWindowClassW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// What the object says of itself or of its element `id`; false when it does
// not know the element.
bool Read(IAccessible& object, long id, AccessibleNode& node) {
    const VARIANT child = ChildId(id);
    VARIANT role;
    VariantInit(&role);
    if (FAILED(object.get_accRole(child, &role)))
        return false;
    node.role = role.vt == VT_I4 ? role.lVal : 0;
    VariantClear(&role);
    VARIANT state;
    VariantInit(&state);
    if (SUCCEEDED(object.get_accState(child, &state)) && state.vt == VT_I4)
        node.state = state.lVal;
    VariantClear(&state);
    BSTR text = nullptr;
    if (SUCCEEDED(object.get_accName(child, &text)))
        node.name = TakeString(text);
    text = nullptr;
    if (SUCCEEDED(object.get_accValue(child, &text)))
        node.value = TakeString(text);
    text = nullptr;
    if (SUCCEEDED(object.get_accDescription(child, &text)))
        node.description = TakeString(text);
    return true;
}

void WalkObject(IAccessible& object, HWND window, int depth, std::vector<AccessibleNode>& tree) {
    AccessibleNode self;
    self.depth = depth;
    self.window = window;
    self.windowClass = ClassOf(window);
    if (!Read(object, CHILDID_SELF, self))
        return;
    tree.push_back(self);
    long count = 0;
    if (depth >= kDeepest || FAILED(object.get_accChildCount(&count)) || count <= 0)
        return;
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long obtained = 0;
    if (FAILED(AccessibleChildren(&object, 0, count, children.data(), &obtained)))
        return;
    for (long i = 0; i < obtained; ++i) {
        VARIANT& child = children[static_cast<std::size_t>(i)];
        if (child.vt == VT_I4) {
            AccessibleNode element;
            element.depth = depth + 1;
            element.window = window;
            element.windowClass = self.windowClass;
            element.element = true;
            if (Read(object, child.lVal, element))
                tree.push_back(element);
        } else if (child.vt == VT_DISPATCH && child.pdispVal) {
            IAccessible* inner = nullptr;
            if (SUCCEEDED(child.pdispVal->QueryInterface(__uuidof(IAccessible),
                                                         reinterpret_cast<void**>(&inner)))) {
                // A child window's object is read with that window, below.
                HWND own = nullptr;
                if (FAILED(WindowFromAccessibleObject(inner, &own)) || !own || own == window)
                    WalkObject(*inner, window, depth + 1, tree);
                inner->Release();
            }
        }
        VariantClear(&child);
    }
}

void WalkWindow(HWND window, int depth, std::vector<AccessibleNode>& tree) {
    IAccessible* client = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                             __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&client))) &&
        client) {
        WalkObject(*client, window, depth, tree);
        client->Release();
    }
    if (depth >= kDeepest)
        return;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        WalkWindow(child, depth + 1, tree);
}

} // namespace

std::vector<AccessibleNode> WalkAccessibleTree(HWND window) {
    std::vector<AccessibleNode> tree;
    WalkWindow(window, 0, tree);
    return tree;
}

std::wstring RoleText(long role) {
    wchar_t text[128] = {};
    const UINT length = GetRoleTextW(static_cast<DWORD>(role), text, 128);
    return length > 0 ? std::wstring(text, length) : L"role " + std::to_wstring(role);
}

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

std::string DescribeTree(const std::vector<AccessibleNode>& tree) {
    std::string lines;
    for (const AccessibleNode& node : tree) {
        lines += std::string(static_cast<std::size_t>(node.depth) * 2, ' ');
        lines += Utf8(RoleText(node.role)) + " \"" + Utf8(node.name) + "\"";
        if (!node.value.empty())
            lines += " value \"" + Utf8(node.value) + "\"";
        if (!node.description.empty())
            lines += " description \"" + Utf8(node.description) + "\"";
        lines += node.element ? " [element of " : " [";
        lines += Utf8(node.windowClass) + "]\n";
    }
    return lines;
}
