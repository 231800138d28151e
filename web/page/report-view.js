// SPDX-License-Identifier: GPL-3.0-or-later
// The exercise's report opened in a tab of its own with its look. The report is the library's own
// page, the same bytes the desktop writes and the download keeps; its look is in style attributes.
// A tab the page opens takes the page's content policy with it, whatever server sent the page, and a
// policy that keeps styles to the site's own files refuses those attributes as markup. So the tab is
// built here: the report read inert, its style attributes taken off, the rest put into the new tab and
// each element's declarations set again through its style object, which no content policy governs.
// The policy stays as strict as the site has it, and nothing of the report can run: it has no scripts,
// and any there were would be left out.

// The new tab's document, or null when the browser would not open one.
export function showReport(html) {
    const report = new DOMParser().parseFromString(html, 'text/html');
    for (const unwanted of report.querySelectorAll('script, link, meta[http-equiv], base, iframe, object, embed'))
        unwanted.remove();
    const styled = [...report.querySelectorAll('[style]')].map((element) => {
        const declarations = element.getAttribute('style');
        element.removeAttribute('style');
        return { element, declarations };
    });
    const shown = window.open('', '_blank');
    if (!shown) return null;
    shown.opener = null; // the report has no business with the page
    const { document } = shown;
    // Adopted, not copied: the elements taken note of above are the ones the tab shows.
    document.replaceChild(document.adoptNode(report.documentElement), document.documentElement);
    for (const { element, declarations } of styled) element.style.cssText = declarations;
    return document;
}
