-- Demo rows of the stores' interface database: movements of two stores on 05/03/2008.

INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '001', 'VT', '0001', '00000010', 'VENTA', '123', 2, 133.25, '001')
INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '001', 'VT', '0001', '00000010', 'VENTA', '456', 1, 43.92, '001')
INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '002', 'IN', '0002', '00000003', 'INGRESO', '789', 24, 0, '002')
INSERT INTO Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero, Movimiento, Articulo, Cantidad, venta, cod_depo) VALUES ('05/03/2008', '002', 'VT', '0002', '00000011', 'VENTA', '999999', 1, 10, '002')
