// The order-entry demo: a window as a project's designer writes it (x:Class, handlers, resources and styles,
// data described in the XAML and bound to a list and a data grid). Run it from the source tree with
//   tools/ovhost run examples/orders.xaml examples/orders.js

// What the module makes of the window: kinds of the controls a script drives, and the new elements that are
// plain controls to it.
var names = ["customerCombo", "productList", "discountSlider", "orderTabs", "categoryTree", "mainToolBar",
             "saveClose", "orderLines", "deliveryDate", "saveProgress"];
for (var i = 0; i < names.length; i++)
    Log.Message(names[i] + ": kind " + App.Kind(names[i]) + ", " + App.ClassName(names[i]));

// An element without a name is found by its automation id.
var customer = App.Find("CustomerPicker");
Log.Message("Customers: " + customer.wItemList);
customer.ClickItem("Contoso*");
Log.Message("The customer is '" + customer.wText + "'");

// The products come from an x:Array of the window's resources, shown by a DataTemplate. An item that is an
// object of the application has no text for the module (an item's text is its content's when that is a
// string or a number), so the script picks products by index and reads them from the application's objects.
var products = App.Find("productList");
Log.Message("Products: " + products.wItemCount);
products.ClickItem(1);
Log.Message("Picked: " + App.Element("productList").SelectedItem.Name);
products.MultiSelect([0, 3]);
Log.Message("Selected: " + App.Element("productList").SelectedItems.Count + " products");
var productMenu = products.PopupMenu;
User.RightClick("productList");
productMenu.Click("Add to order");

// The same data in a data grid, a plain control to the module: the script reads its rows' objects.
var grid = App.Element("orderLines");
grid.SelectedIndex = 2;
Log.Message("The grid shows " + grid.Items.Count + " lines; line 3 is " + grid.SelectedItem.Name + " at " +
            grid.SelectedItem.Price + ", in stock: " + grid.SelectedItem.InStock);

var discount = App.Find("discountSlider");
discount.wPosition = 15;
Log.Message("Discount " + discount.wPosition + " % of at most " + discount.wMax);

var tree = App.Find("categoryTree");
tree.ClickItem("Furniture|Desks");
tree.ExpandItem("Lighting");
tree.ClickItem("Lighting|Lamps");

var toolbar = App.Find("mainToolBar");
toolbar.ClickItem("Save");
toolbar.CheckItem("Urgent", true);

// The main menu: a checkable item, and a command item.
var menu = App.Find("mainMenu").WPFMenu;
menu.Check("View|Status bar", false);
menu.Click("Edit|Copy");

var tabs = App.Find("orderTabs");
tabs.ClickTab("Notes");
App.Find("OrderReference").wText = "PO-4711";
tabs.ClickTab("Order");

App.Find("giftWrap").ClickButton(cbChecked);
App.Find("saveClose").ClickButton();
